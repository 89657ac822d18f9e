// The slide file's definitions and the glossary's entries as the undo journal reaches
// them: through the library's exports, as everything else of the editor does.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>


#include "editor/editor_windows.h"

namespace quorel::editor {

namespace {

std::optional<std::u16string> Optional(const QUOREL_CHAR* text) {
  if (text == nullptr) return std::nullopt;
  return Utf16(text);
}

const wchar_t* OrNull(const std::optional<std::u16string>& text, std::wstring* keep) {
  if (!text) return nullptr;
  *keep = Wide(*text);
  return keep->c_str();
}

class SlideStore : public ItemStore {
 public:
  std::vector<ItemHandle> SameKey(const Item& item) override {
    std::vector<ItemHandle> found;
    DICO_SetExactQueryCriteria(item.direction, item.kind, item.parameter);
    int index = 0;
    while (DICO_Query(&index)) {
      const std::optional<Item> other = Get(index);
      if (other && other->direction == item.direction && other->kind == item.kind &&
          other->parameter == item.parameter) {
        found.push_back(index);
      }
    }
    return found;
  }

  std::optional<Item> Get(ItemHandle handle) override {
    Item item;
    const QUOREL_CHAR* preview = nullptr;
    const QUOREL_CHAR* text = nullptr;
    if (!DICO_GetSlideDefinition(static_cast<int>(handle), &item.direction, &item.kind,
                                 &item.parameter, &preview, &text)) {
      return std::nullopt;
    }
    item.preview = Optional(preview);
    item.text = Utf16(Or(text));
    return item;
  }

  std::optional<ItemHandle> Add(const Item& item) override {
    std::wstring preview;
    const std::wstring text = Wide(item.text);
    int index = 0;
    if (!DICO_AddSlideDefinition(item.direction, item.kind, item.parameter,
                                 OrNull(item.preview, &preview), text.c_str(), &index)) {
      return std::nullopt;
    }
    return index;
  }

  void Delete(ItemHandle handle) override { DICO_DeleteSlideDefinition(static_cast<int>(handle)); }

  void Modify(ItemHandle handle, const Item& item) override {
    std::wstring preview;
    const std::wstring text = Wide(item.text);
    DICO_ModifySlideDefinition(static_cast<int>(handle), OrNull(item.preview, &preview),
                               text.c_str());
  }

  void Swap(ItemHandle a, ItemHandle b) override {
    DICO_SwapSlideDefinitions(static_cast<int>(a), static_cast<int>(b));
  }
};

GLOSSARY_ENTRY Entry(ItemHandle handle) { return reinterpret_cast<GLOSSARY_ENTRY>(handle); }

class GlossaryStore : public ItemStore {
 public:
  std::vector<ItemHandle> SameKey(const Item& item) override {
    std::vector<ItemHandle> found;
    const std::wstring short_form = Wide(item.short_form);
    GLOSSARY_SetQueryCriteria(short_form.c_str());
    GLOSSARY_ENTRY entry = nullptr;
    // The query starts at the first equal short form; longer ones follow.
    while (GLOSSARY_Query(&entry)) {
      const std::optional<Item> other = Get(reinterpret_cast<ItemHandle>(entry));
      if (!other || !SameShortForm(other->short_form, item.short_form)) break;
      found.push_back(reinterpret_cast<ItemHandle>(entry));
    }
    return found;
  }

  std::optional<Item> Get(ItemHandle handle) override {
    Item item;
    const QUOREL_CHAR* short_form = nullptr;
    const QUOREL_CHAR* preview = nullptr;
    const QUOREL_CHAR* text = nullptr;
    if (!GLOSSARY_GetGlossaryEntry(Entry(handle), &short_form, &preview, &text)) {
      return std::nullopt;
    }
    item.short_form = Utf16(Or(short_form));
    item.preview = Optional(preview);
    item.text = Utf16(Or(text));
    return item;
  }

  std::optional<ItemHandle> Add(const Item& item) override {
    std::wstring preview;
    const std::wstring short_form = Wide(item.short_form);
    const std::wstring text = Wide(item.text);
    int index = 0;
    GLOSSARY_ENTRY entry = nullptr;
    if (!GLOSSARY_AddGlossaryEntry(short_form.c_str(), OrNull(item.preview, &preview),
                                   text.c_str(), &index, &entry)) {
      return std::nullopt;
    }
    return reinterpret_cast<ItemHandle>(entry);
  }

  void Delete(ItemHandle handle) override { GLOSSARY_DeleteGlossaryEntry(Entry(handle)); }

  void Modify(ItemHandle handle, const Item& item) override {
    std::wstring preview;
    const std::wstring text = Wide(item.text);
    GLOSSARY_ModifyGlossaryEntry(Entry(handle), OrNull(item.preview, &preview), text.c_str());
  }

  void Swap(ItemHandle a, ItemHandle b) override { GLOSSARY_SwapGlossaryEntries(Entry(a), Entry(b)); }

  // The glossary keeps its entries in one sorted array: many at once in one pass, not one
  // shift of the array for each.
  std::vector<std::optional<ItemHandle>> AddAll(const std::vector<Item>& items) override {
    std::vector<std::wstring> texts;
    texts.reserve(items.size() * 3);
    std::vector<const wchar_t*> short_forms, previews, long_forms;
    for (const Item& item : items) {
      texts.push_back(Wide(item.short_form));
      short_forms.push_back(texts.back().c_str());
      texts.push_back(item.preview ? Wide(*item.preview) : std::wstring());
      previews.push_back(item.preview ? texts.back().c_str() : nullptr);
      texts.push_back(Wide(item.text));
      long_forms.push_back(texts.back().c_str());
    }
    std::vector<GLOSSARY_ENTRY> added(items.size(), nullptr);
    std::vector<std::optional<ItemHandle>> handles(items.size());
    if (items.empty() ||
        GLOSSARY_AddGlossaryEntries(static_cast<int>(items.size()), short_forms.data(),
                                    previews.data(), long_forms.data(), added.data()) == 0) {
      return handles;
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (added[i] != nullptr) handles[i] = reinterpret_cast<ItemHandle>(added[i]);
    }
    return handles;
  }

  void DeleteAll(const std::vector<ItemHandle>& handles) override {
    std::vector<GLOSSARY_ENTRY> entries;
    entries.reserve(handles.size());
    for (ItemHandle handle : handles) entries.push_back(Entry(handle));
    if (!entries.empty()) GLOSSARY_DeleteGlossaryEntries(static_cast<int>(entries.size()), entries.data());
  }
};

}  // namespace

ItemStore& StoreOf(FileKind file) {
  static SlideStore slides;
  static GlossaryStore glossary;
  if (file == FileKind::kSlides) return slides;
  return glossary;
}

UndoJournal& JournalOf(FileKind file) {
  static UndoJournal journals[2];
  return journals[file == FileKind::kSlides ? 0 : 1];
}

}  // namespace quorel::editor
