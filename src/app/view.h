// The download list and the resource list share one rectangle of page 0; these switch between them.
#pragma once

#include "ui/ui_facade.h"

namespace plendrik::app {

// The download list takes the resource list's left, width, height and top (in this order).
void ShowDownloadPage(ui::UiFacade& ui);
// The download list moves below the page container (top 536), so the resource list shows.
void HideDownloadPage(ui::UiFacade& ui);
// Checks view button n (0 to 2) of the main toolbar; the group releases the other two.
void SelectViewButton(ui::UiFacade& ui, int n);

inline constexpr int kHiddenDownloadListTop = 536;

} // namespace plendrik::app
