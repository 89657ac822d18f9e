// Word completion: the words that begin with what the user is typing, those the user typed
// before first, then the base list's. The store learns a word each time the keyboard
// reports one finished, keeps them in the user's own file, and forgets what it is told to.
//
// Recency is counted in uses, not in time: every learned word is one use, and a word's
// last use is the use it was last typed at. A week away from the keyboard then leaves the
// words of last week as fresh as they were, no clock lies on the path of a key, and the
// order of two words never changes while neither is typed.
//
// Learned file (UTF-8, CR LF, "#" lines are comments, blanks or TABs between fields):
//   word count last-use    a learned word, typed `count` times, last at use `last-use`
//   word                   a word added by hand: typed once, long ago
//   -word                  a word forgotten: never suggested, from the base list neither
//   >word next count last-use   `next` typed right after `word`, `count` times: offered
//                          as the next word once `word` and a space are typed (count and
//                          last use may be left out, as for a word)
// The reader takes what is good and leaves out the rest line by line; a file that was not
// read whole is kept as its backup (".bak") before it is first written over, and a damaged
// file is made whole again from that backup.
//
// The file may lie where reading it waits (a share, a cloud folder) or where another program
// holds it, so the keyboard reads and writes it off the pen's thread: ReadLearnedFileBytes
// and WriteLearnedFile run anywhere, and the store takes in what they found. A store never
// writes over a file it could not read: the words learned meanwhile are kept, and added to
// the file's once it can be read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "library/completion/base_words.h"
#include "library/completion/word_languages.h"

namespace quorel {

struct LearnedWord {
  // As the user types it, with a capital only where every typing had one (and the base
  // list, when it lists the word): "Hello" at the start of a sentence does not make "hello"
  // a name, but "London" stays a name for as long as nobody types "london".
  std::u16string word;
  std::uint32_t count = 0;
  std::uint64_t last_use = 0;
};

// What reading a learned file left out.
struct LearnedFileReport {
  int lines_left_out = 0;  // damaged, overlong or not a word
  int words_dropped = 0;   // good, but beyond the bound, the least useful of them
  bool unreadable = false;  // there, but it could not be read: nothing was taken in
  bool from_backup = false;  // damaged, and made whole again from its backup
  bool Whole() const { return lines_left_out == 0 && words_dropped == 0 && !unreadable; }
};

// The bytes of a learned file and of its backup, or why there are none.
struct LearnedFileBytes {
  enum class State { kMissing, kRead, kUnreadable } state = State::kMissing;
  std::string bytes;
  bool backup_read = false;
  std::string backup;
};
// Reads the file and its backup; it may wait on the disk, so it runs off the pen's thread.
LearnedFileBytes ReadLearnedFileBytes(std::u16string_view path);

// A save made ready by the store and written wherever waiting harms nobody.
struct LearnedFileSave {
  std::u16string path;
  std::string bytes;
  bool keep_old_file = false;  // copy the old file to the backup first
  bool drop_backup = false;    // remove the backup once written: it holds what was forgotten
  std::uint64_t generation = 0;  // of the store's changes it holds
};
// Writes the file in one step (its folder made when missing). False when nothing was
// written; the old file is then as it was.
bool WriteLearnedFile(const LearnedFileSave& save);

class WordStore {
 public:
  // Enough for everything one person writes; the least useful go first beyond it.
  static constexpr std::size_t kMaxLearned = 20'000;
  static constexpr std::size_t kMaxForgotten = 20'000;
  static constexpr std::size_t kMaxPairs = 20'000;
  // Typing a word twice as often is worth as much as having typed it this many uses later.
  static constexpr double kRecencyUses = 1000;
  // Larger uses in a file are damage: a person types some 10^9 words in a lifetime.
  static constexpr std::uint64_t kMaxUse = 1'000'000'000'000'000;

  const BaseWords& Base() const { return base_; }
  // Replaces the base list (an empty one when the file cannot be read).
  void ParseBase(std::string_view bytes);
  bool ReadBase(std::u16string_view path);
  // Replaces the base list by one read elsewhere (off the pen's thread).
  void TakeBase(BaseWords base);

  // Up to `max` whole words that begin with `prefix` (folded), never the prefix itself,
  // spelled as stored: learned words by how often and how lately they were typed, then the
  // base list's by rank.
  std::vector<std::u16string> Complete(std::u16string_view prefix, int max) const;
  // The same words as they read once accepted after `typed` (CaseLike): the labels of the
  // suggestion list; MissingLetters(typed, label) is then what to type.
  std::vector<std::u16string> Completions(std::u16string_view typed, int max) const;

  // One more use of the word; false (and nothing learned) when it is no word to learn.
  // Learning a forgotten word takes it back: the user typed it again.
  bool Learn(std::u16string_view word);
  // Takes the word out of the suggestions, learned or listed. False when nothing changed.
  bool Forget(std::u16string_view word);
  // Every learned word goes; the words forgotten stay forgotten, since the user asked for
  // each of them to stay away, and the base list stays.
  void ForgetAll();

  // One more time `next` was typed right after `word` (both learned by the same rules).
  // False when either is no word to learn.
  bool LearnPair(std::u16string_view word, std::u16string_view next);
  // Up to `max` words typed right after `word`, the most useful first, none forgotten; then
  // the base list's next words of `word`.
  std::vector<std::u16string> NextWords(std::u16string_view word, int max) const;
  int PairCount() const { return static_cast<int>(pairs_.size()); }

  const LearnedWord* FindLearned(std::u16string_view word) const;
  bool IsForgotten(std::u16string_view word) const;
  int LearnedCount() const { return static_cast<int>(learned_.size()); }
  std::uint64_t Uses() const { return uses_; }
  // Learned or forgotten since the last read or save: the caller's timer saves only then.
  bool HasUnsavedChanges() const { return generation_ != saved_generation_; }
  // The user's file was read (or found missing, or written): the store may write it.
  bool FileRead() const { return file_read_; }

  // Replaces learned and forgotten words by a learned file's.
  LearnedFileReport ParseLearned(std::string_view bytes);
  std::string FormatLearned() const;
  // Takes in what reading the user's file found: a missing file is a first run. Words
  // learned and forgotten before the first good read, while the file could not be read, go
  // on top of the file's. A damaged file is made whole from its backup where it can be. An
  // unreadable file leaves the store as it was, still not allowed to write.
  LearnedFileReport AdoptLearned(const LearnedFileBytes& file);
  // Reads and takes in the user's file at once.
  LearnedFileReport ReadLearned(std::u16string_view path);
  // The save of what changed; false when nothing changed or the file was never read.
  bool PrepareSave(std::u16string_view path, LearnedFileSave* save) const;
  // The save was written (`written`) or not.
  void SaveFinished(const LearnedFileSave& save, bool written);
  // Prepares, writes and finishes a save at once; false when nothing was written.
  bool SaveLearned(std::u16string_view path);
  // Forgets every learned word and writes the file so, whatever the store read of it: no
  // copy of the old file is kept, since what it held is what the user asked to forget.
  // The words taken away stay taken away. False when the file could not be written.
  bool ForgetAllInFile(std::u16string_view path);
  // The same, with the save made ready for writing elsewhere.
  void PrepareForgetAll(std::u16string_view path, LearnedFileSave* save);

  void Clear();

 private:
  std::vector<LearnedWord>::iterator LearnedAt(std::u16string_view word);
  std::vector<LearnedWord>::const_iterator LearnedAt(std::u16string_view word) const;
  std::vector<std::u16string>::const_iterator ForgottenAt(std::u16string_view word) const;
  void DropLeastUseful();
  // A pair that holds a forgotten word goes: forgetting a word forgets its company.
  void DropForgottenPairs();
  void Unforget(std::u16string_view word);
  void MarkForgottenRanks();
  void Changed() { ++generation_; }
  // Adds what `session` learned and forgot to this store's words, as if typed after them.
  void AddSession(const WordStore& session);
  // Takes from an older copy of this store's file the words it lacks.
  void AddFromBackup(const WordStore& backup);
  void SetLearned(std::vector<LearnedWord> words, bool add_counts, LearnedFileReport* report);

  BaseWords base_;
  std::vector<LearnedWord> learned_;       // folded order
  std::vector<LearnedWord> pairs_;         // "word next", folded order
  std::vector<std::u16string> forgotten_;  // folded order
  std::vector<bool> forgotten_ranks_;      // by base rank
  std::uint64_t uses_ = 0;
  std::uint64_t generation_ = 0;
  std::uint64_t saved_generation_ = 0;
  bool file_read_ = false;
  // The file on disk holds more than was read: kept as the backup before it is replaced.
  bool keep_old_file_ = false;
};


}  // namespace quorel
