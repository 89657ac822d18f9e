// Glossary and glossary files. Every handle that comes in is checked against the live
// entries first: a stale or foreign one is refused, never followed.
#include "library/api/api_support.h"
#include "library/glossary/glossary.h"

using quorel::api::Guarded;
using quorel::api::In;
using quorel::api::Out;

namespace {

quorel::Glossary& Glossary() { return quorel::TheGlossary(); }

quorel::GlossaryEntry* Entry(GLOSSARY_ENTRY handle) {
  return reinterpret_cast<quorel::GlossaryEntry*>(handle);
}

GLOSSARY_ENTRY Handle(quorel::GlossaryEntry* entry) {
  return reinterpret_cast<GLOSSARY_ENTRY>(entry);
}

}  // namespace

extern "C" {

int GLOSSARY_IsValidShortFormChar(QUOREL_CHAR c) {
  return Guarded([&] { return quorel::IsValidShortFormChar(static_cast<char16_t>(c)) ? 1 : 0; });
}

int GLOSSARY_ReadFromGlossaryFile(const QUOREL_CHAR* path) {
  return Guarded([&] {
    if (path == nullptr) return 0;
    return quorel::ReadGlossaryFile(Glossary(), In(path)) ? 1 : 0;
  });
}

int GLOSSARY_WriteToGlossaryFile(const QUOREL_CHAR* path) {
  return Guarded([&] {
    if (path == nullptr) return 0;
    return quorel::WriteGlossaryFile(Glossary(), In(path)) ? 1 : 0;
  });
}

int GLOSSARY_ReleaseFromMemory(void) {
  return Guarded([&] {
    Glossary().Release();
    return 1;
  });
}

int GLOSSARY_GetEntryCount(void) {
  return Guarded([&] { return Glossary().Count(); });
}

int GLOSSARY_CompareGlossaryEntries(GLOSSARY_ENTRY a, GLOSSARY_ENTRY b) {
  return Guarded([&] {
    if (!Glossary().IsLive(Entry(a)) || !Glossary().IsLive(Entry(b))) return 0;
    return quorel::Glossary::Compare(Entry(a)->short_form, Entry(b)->short_form);
  });
}

int GLOSSARY_AddGlossaryEntry(const QUOREL_CHAR* short_form, const QUOREL_CHAR* preview,
                              const QUOREL_CHAR* long_form, int* index, GLOSSARY_ENTRY* entry) {
  return Guarded([&] {
    int position = -1;
    quorel::GlossaryEntry* added =
        Glossary().Add(In(short_form), In(preview), In(long_form), &position);
    if (added == nullptr) return 0;
    if (index != nullptr) *index = position;
    if (entry != nullptr) *entry = Handle(added);
    return 1;
  });
}

int GLOSSARY_ModifyGlossaryEntry(GLOSSARY_ENTRY entry, const QUOREL_CHAR* preview,
                                 const QUOREL_CHAR* long_form) {
  return Guarded(
      [&] { return Glossary().Modify(Entry(entry), In(preview), In(long_form)) ? 1 : 0; });
}

int GLOSSARY_DeleteGlossaryEntry(GLOSSARY_ENTRY entry) {
  return Guarded([&] { return Glossary().Delete(Entry(entry)) ? 1 : 0; });
}

int GLOSSARY_AddGlossaryEntries(int count, const QUOREL_CHAR* const* short_forms,
                                const QUOREL_CHAR* const* previews,
                                const QUOREL_CHAR* const* long_forms, GLOSSARY_ENTRY* added) {
  return Guarded([&] {
    if (count <= 0 || short_forms == nullptr) return 0;
    std::vector<std::unique_ptr<quorel::GlossaryEntry>> entries;
    entries.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
      auto entry = std::make_unique<quorel::GlossaryEntry>();
      if (short_forms[i] != nullptr) entry->short_form = In(short_forms[i]);
      if (previews != nullptr && previews[i] != nullptr) {
        entry->preview = std::make_unique<std::u16string>(In(previews[i]));
      }
      if (long_forms != nullptr && long_forms[i] != nullptr) entry->long_form = In(long_forms[i]);
      if (added != nullptr) added[i] = short_forms[i] != nullptr ? Handle(entry.get()) : nullptr;
      // A null short form adds nothing, as a single add would not.
      if (short_forms[i] == nullptr) entry.reset();
      entries.push_back(std::move(entry));
    }
    int made = 0;
    for (const auto& entry : entries) made += entry != nullptr ? 1 : 0;
    Glossary().AddAll(std::move(entries));
    return made;
  });
}

int GLOSSARY_DeleteGlossaryEntries(int count, const GLOSSARY_ENTRY* entries) {
  return Guarded([&] {
    if (count <= 0 || entries == nullptr) return 0;
    std::vector<quorel::GlossaryEntry*> doomed;
    doomed.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) doomed.push_back(Entry(entries[i]));
    return Glossary().DeleteAll(doomed);
  });
}

int GLOSSARY_SwapGlossaryEntries(GLOSSARY_ENTRY a, GLOSSARY_ENTRY b) {
  return Guarded([&] { return Glossary().Swap(Entry(a), Entry(b)) ? 1 : 0; });
}

int GLOSSARY_SetQueryCriteria(const QUOREL_CHAR* prefix) {
  return Guarded([&] { return Glossary().SetQueryCriteria(In(prefix)) ? 1 : 0; });
}

int GLOSSARY_Query(GLOSSARY_ENTRY* entry) {
  return Guarded([&] {
    quorel::GlossaryEntry* found = nullptr;
    if (!Glossary().Query(&found)) return 0;
    if (entry != nullptr) *entry = Handle(found);
    return 1;
  });
}

int GLOSSARY_QueryAtIndex(int index, GLOSSARY_ENTRY* entry) {
  return Guarded([&] {
    quorel::GlossaryEntry* found = Glossary().At(index);
    if (found == nullptr) return 0;
    if (entry != nullptr) *entry = Handle(found);
    return 1;
  });
}

int GLOSSARY_GetGlossaryEntry(GLOSSARY_ENTRY entry, const QUOREL_CHAR** short_form,
                              const QUOREL_CHAR** preview, const QUOREL_CHAR** long_form) {
  return Guarded([&] {
    const quorel::GlossaryEntry* found = Entry(entry);
    if (!Glossary().IsLive(found)) return 0;
    if (short_form != nullptr) *short_form = Out(found->short_form.c_str());
    if (preview != nullptr) *preview = found->preview ? Out(found->preview->c_str()) : nullptr;
    if (long_form != nullptr) *long_form = Out(found->long_form.c_str());
    return 1;
  });
}

}  // extern "C"
