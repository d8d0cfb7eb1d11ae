#include "folder_dialog.h"

#include <thread>

#include "desktop_driver.h"

namespace driver {
namespace {

constexpr int kLabelCapacity = 260;

// A tree item and the label buffer right behind it, as they lie in the lent memory.
struct LentItem {
  TVITEMW item;
  wchar_t label[kLabelCapacity];
};

HWND tree_of(HWND dialog) {
  for (HWND child : child_windows(dialog)) {
    if (class_name(child) == WC_TREEVIEWW) return child;
  }
  return nullptr;
}

}  // namespace

FolderDialog::FolderDialog(HWND dialog, DWORD process_id)
    : dialog_(dialog),
      tree_(tree_of(dialog)),
      process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_id)) {
  if (process_) lent_ = VirtualAllocEx(process_, nullptr, sizeof(LentItem), MEM_COMMIT, PAGE_READWRITE);
}

FolderDialog::~FolderDialog() {
  if (lent_) VirtualFreeEx(process_, lent_, 0, MEM_RELEASE);
  if (process_) CloseHandle(process_);
}

// The tree keeps its labels in the dialog's process, so the question and the answer
// travel through memory lent there.
std::optional<std::wstring> FolderDialog::label_of(HTREEITEM item) const {
  if (!lent_ || !tree_) return std::nullopt;
  LentItem question = {};
  question.item.mask = TVIF_TEXT | TVIF_HANDLE;
  question.item.hItem = item;
  question.item.pszText = static_cast<LentItem*>(lent_)->label;
  question.item.cchTextMax = kLabelCapacity;
  if (!WriteProcessMemory(process_, lent_, &question, sizeof question, nullptr)) return std::nullopt;
  if (!SendMessageW(tree_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(lent_))) return std::nullopt;
  LentItem answer = {};
  if (!ReadProcessMemory(process_, lent_, &answer, sizeof answer, nullptr)) return std::nullopt;
  answer.label[kLabelCapacity - 1] = L'\0';
  return std::wstring(answer.label);
}

HTREEITEM FolderDialog::related(HTREEITEM item, UINT relation) const {
  return reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

void FolderDialog::expand(HTREEITEM item) const {
  SendMessageW(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
}

HTREEITEM FolderDialog::child_containing(HTREEITEM parent, const std::wstring& part) const {
  expand(parent);
  for (HTREEITEM item = related(parent, TVGN_CHILD); item; item = related(item, TVGN_NEXT)) {
    const auto label = label_of(item);
    if (label && label->find(part) != std::wstring::npos) return item;
  }
  return nullptr;
}

bool FolderDialog::select(const std::vector<std::wstring>& label_parts) {
  if (!tree_ || label_parts.empty()) return false;
  const HTREEITEM top = related(nullptr, TVGN_ROOT);
  HTREEITEM item = child_containing(top, label_parts.front());
  for (HTREEITEM branch = related(top, TVGN_CHILD); !item && branch; branch = related(branch, TVGN_NEXT)) {
    item = child_containing(branch, label_parts.front());
  }
  for (size_t i = 1; item && i < label_parts.size(); ++i) item = child_containing(item, label_parts[i]);
  return item && SendMessageW(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

void FolderDialog::confirm() const { click(GetDlgItem(dialog_, IDOK)); }

void FolderDialog::cancel() const { click(GetDlgItem(dialog_, IDCANCEL)); }

}  // namespace driver
