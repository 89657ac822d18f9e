// Slide definitions and slide files.
#include "library/api/api_support.h"
#include "library/slides/slide_set.h"
#include "library/strings/strutils.h"

using quorel::api::Guarded;
using quorel::api::In;
using quorel::api::Out;

namespace {

quorel::SlideSet& Set() { return quorel::TheSlideSet(); }

}  // namespace

extern "C" {

int DICO_ReadFromSlideFile(const QUOREL_CHAR* path) {
  return Guarded([&] {
    if (path == nullptr) return 0;
    return quorel::ReadSlideFile(Set(), In(path)) ? 1 : 0;
  });
}

int DICO_WriteToSlideFile(const QUOREL_CHAR* path) {
  return Guarded([&] {
    if (path == nullptr) return 0;
    return quorel::WriteSlideFile(Set(), In(path)) ? 1 : 0;
  });
}

int DICO_ReleaseFromMemory(void) {
  return Guarded([&] {
    Set().Release();
    return 1;
  });
}

int DICO_CompareSlideDefinitions(int a, int b) {
  return Guarded([&] { return Set().Compare(a, b); });
}

int DICO_AddSlideDefinition(int direction, unsigned short kind, unsigned short parameter,
                            const QUOREL_CHAR* preview, const QUOREL_CHAR* text, int* index) {
  return Guarded([&] {
    int added = Set().Add(direction, kind, parameter, In(preview), In(text));
    if (index != nullptr) *index = added;
    return 1;
  });
}

int DICO_ModifySlideDefinition(int index, const QUOREL_CHAR* preview, const QUOREL_CHAR* text) {
  return Guarded([&] { return Set().Modify(index, In(preview), In(text)) ? 1 : 0; });
}

int DICO_DeleteSlideDefinition(int index) {
  return Guarded([&] { return Set().Delete(index) ? 1 : 0; });
}

int DICO_SwapSlideDefinitions(int a, int b) {
  return Guarded([&] { return Set().Swap(a, b) ? 1 : 0; });
}

int DICO_SetQueryCriteria(int direction, unsigned short kind, unsigned short parameter) {
  return Guarded([&] {
    Set().SetQueryCriteria(direction, kind, parameter);
    return 1;
  });
}

int DICO_SetExactQueryCriteria(int direction, unsigned short kind, unsigned short parameter) {
  return Guarded([&] {
    // One whole key: its definitions stand together, found without a walk of the list.
    if (direction != 0 && kind != 0) {
      Set().SetExactQuery(direction, kind, parameter);
      return 1;
    }
    Set().SetParameterQuery(direction, kind, parameter);
    return 1;
  });
}

int DICO_Query(int* index) {
  return Guarded([&] {
    int found = -1;
    if (!Set().Query(&found)) return 0;
    if (index != nullptr) *index = found;
    return 1;
  });
}

int DICO_GetSlideDefinition(int index, int* direction, unsigned short* kind,
                            unsigned short* parameter, const QUOREL_CHAR** preview,
                            const QUOREL_CHAR** text) {
  return Guarded([&] {
    const quorel::SlideDefinition* slide = Set().Get(index);
    if (slide == nullptr) return 0;
    if (direction != nullptr) *direction = slide->direction;
    if (kind != nullptr) *kind = slide->kind;
    if (parameter != nullptr) *parameter = slide->parameter;
    if (preview != nullptr) *preview = slide->preview ? Out(slide->preview->c_str()) : nullptr;
    if (text != nullptr) *text = Out(slide->text.c_str());
    return 1;
  });
}

}  // extern "C"
