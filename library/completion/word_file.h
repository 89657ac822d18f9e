// What the two word files share, the base list shipped with the program and the user's
// learned words: UTF-8 text a user can open in any editor, one entry a line.
//
// Editors save such a file in more ways than one, and every one of them is read: with or
// without a UTF-8 byte order mark, as UTF-16 with its mark, or in the one-byte ANSI code
// page of an older editor, whose accented letters are not UTF-8; such a line is read as
// Latin-1 rather than thrown away.
#pragma once

#include <functional>
#include <string_view>

namespace quorel {

// Only this much of a file is read: a word file is a few hundred kilobytes, and a larger
// one is something else saved under its name.
constexpr std::size_t kMaxWordFileBytes = 16u << 20;
// A longer line holds no word of ours, and is not worth decoding.
constexpr std::size_t kMaxWordLineBytes = 255;

// Calls `line` for every line of the file that is not too long, without its line end.
// Returns how many lines were left out: too long, past kMaxWordFileBytes, or cut off in the
// middle of a character.
int ForEachWordFileLine(std::string_view bytes,
                        const std::function<void(std::u16string_view)>& line);

// Splits a line at runs of blanks and TABs into at most `max` fields and returns how many
// it has; -1 when it has more.
int SplitFields(std::u16string_view line, std::u16string_view* fields, int max);

}  // namespace quorel
