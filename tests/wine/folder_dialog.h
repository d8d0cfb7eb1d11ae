#pragma once
// Drives the shell's folder dialog shown by another process, as a person picking a
// folder would: opens the tree's branches, selects an item, confirms or cancels.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

namespace driver {

class FolderDialog {
 public:
  // `dialog` is the dialog window of process `process_id`.
  FolderDialog(HWND dialog, DWORD process_id);
  FolderDialog(const FolderDialog&) = delete;
  FolderDialog& operator=(const FolderDialog&) = delete;
  ~FolderDialog();

  // Selects the item reached by opening, from the tree's top, an item whose label
  // contains each text in turn; searches one level below the top for the first.
  bool select(const std::vector<std::wstring>& label_parts);
  // The dialog's OK or Cancel button, clicked with the real mouse.
  void confirm() const;
  void cancel() const;

 private:
  std::optional<std::wstring> label_of(HTREEITEM item) const;
  HTREEITEM child_containing(HTREEITEM parent, const std::wstring& part) const;
  HTREEITEM related(HTREEITEM item, UINT relation) const;
  void expand(HTREEITEM item) const;

  HWND dialog_;
  HWND tree_ = nullptr;
  HANDLE process_ = nullptr;
  void* lent_ = nullptr;  // memory inside the dialog's process for the tree's answers
};

}  // namespace driver
