// The one preview list the keyboard owns, shared by the slide preview and the glossary
// suggestions. Its rows carry item data whose meaning depends on who filled it last: slide
// definition indices for a slide, entry pointers for suggestions.
#pragma once

namespace quorel::keyboard {

enum class ListContent { kNothing, kSlides, kSuggestions };

// What the rows of the list hold now.
ListContent ShownListContent();
void SetShownListContent(ListContent content);

// Empties and hides the list.
void HidePreviewList();

}  // namespace quorel::keyboard
