#pragma once
// The installer's pages are fixed groups of units shown and hidden together.
namespace app {

enum UnitGroup : int {
  kAgreementRow = 0,
  kFirstPage = 1,
  kCustomPage = 2,
  kInstallingPage = 3,
  kFinishPage = 4,
};

// Writes the visible property of every unit of the group, in the group's order. A
// number outside 0 to 4 changes nothing.
void set_group_visibility(int group, bool shown);

}  // namespace app
