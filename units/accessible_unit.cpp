#include "units/accessible_unit.h"

#include <new>
#include <utility>

#include "frame/system_library.h"

namespace units {
namespace {

// oleacc is not on the known-DLL list, so it comes from the system directory by
// full path rather than as an import.
using CreateStandardObject = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
using LresultFromObjectFunction = LRESULT(WINAPI*)(REFIID, WPARAM, IUnknown*);
frame::SystemFunction<CreateStandardObject> g_create_standard_object("oleacc.dll", "CreateStdAccessibleObject");
frame::SystemFunction<LresultFromObjectFunction> g_lresult_from_object("oleacc.dll", "LresultFromObject");

bool is_self(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// An empty text is no text: S_FALSE and a null string, as readers expect.
HRESULT put_text(const std::wstring& text, BSTR* out) {
  *out = nullptr;
  if (text.empty()) return S_FALSE;
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT put_number(LONG number, VARIANT* out) {
  VariantInit(out);
  out->vt = VT_I4;
  out->lVal = number;
  return S_OK;
}

std::wstring window_text(HWND hwnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

// Focusable is what a tab stop is; the rest follows the window as it is now.
LONG window_state(HWND hwnd) {
  LONG state = 0;
  const bool visible = IsWindowVisible(hwnd) != FALSE;
  const bool enabled = IsWindowEnabled(hwnd) != FALSE;
  if (!visible) state |= STATE_SYSTEM_INVISIBLE;
  if (!enabled) state |= STATE_SYSTEM_UNAVAILABLE;
  if (visible && enabled && (GetWindowLongA(hwnd, GWL_STYLE) & WS_TABSTOP) != 0) state |= STATE_SYSTEM_FOCUSABLE;
  if (GetFocus() == hwnd) state |= STATE_SYSTEM_FOCUSED;
  return state;
}

}  // namespace

// Calls come in on the unit's own thread (the program's single-threaded
// apartment), the thread that disconnects it, so the source never goes mid-call.
class AccessibleUnit final : public IAccessible {
 public:
  AccessibleUnit(HWND hwnd, const AccessibleSource& source, frame::com_ptr<IAccessible> standard)
      : hwnd_(hwnd), source_(&source), standard_(std::move(standard)) {}
  AccessibleUnit(const AccessibleUnit&) = delete;
  AccessibleUnit& operator=(const AccessibleUnit&) = delete;

  void disconnect() {
    source_ = nullptr;
    standard_.reset();
  }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (id != IID_IUnknown && id != IID_IDispatch && id != IID_IAccessible) return E_NOINTERFACE;
    *object = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IDispatch, as the standard object answers it
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return connected() ? standard_->GetTypeInfoCount(count) : RPC_E_DISCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return connected() ? standard_->GetTypeInfo(index, locale, info) : RPC_E_DISCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID id, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override {
    return connected() ? standard_->GetIDsOfNames(id, names, count, locale, ids) : RPC_E_DISCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID id, LCID locale, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception, UINT* wrong_argument) override {
    if (!connected()) return RPC_E_DISCONNECTED;
    return standard_->Invoke(member, id, locale, flags, parameters, result, exception, wrong_argument);
  }

  // IAccessible: what the unit itself answers
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (name == nullptr) return E_POINTER;
    if (!connected()) return RPC_E_DISCONNECTED;
    if (!is_self(child)) return standard_->get_accName(child, name);
    return put_text(window_text(hwnd_), name);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    if (value == nullptr) return E_POINTER;
    if (!connected()) return RPC_E_DISCONNECTED;
    if (!is_self(child)) return standard_->get_accValue(child, value);
    return put_text(source_->accessible_look().value, value);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (role == nullptr) return E_POINTER;
    if (!connected()) return RPC_E_DISCONNECTED;
    if (!is_self(child)) return standard_->get_accRole(child, role);
    return put_number(source_->accessible_look().role, role);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (state == nullptr) return E_POINTER;
    if (!connected()) return RPC_E_DISCONNECTED;
    if (!is_self(child)) return standard_->get_accState(child, state);
    return put_number(window_state(hwnd_) | source_->accessible_look().state, state);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    if (action == nullptr) return E_POINTER;
    if (!connected()) return RPC_E_DISCONNECTED;
    if (!is_self(child)) return standard_->get_accDefaultAction(child, action);
    return put_text(source_->accessible_look().default_action, action);
  }
  // Posted, so that whatever the press starts (a page change, a message box) runs
  // after the reader's call has returned.
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    if (!connected()) return RPC_E_DISCONNECTED;
    if (!is_self(child)) return standard_->accDoDefaultAction(child);
    if (source_->accessible_look().default_action.empty()) return DISP_E_MEMBERNOTFOUND;
    return PostMessageA(hwnd_, BM_CLICK, 0, 0) ? S_OK : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) return E_POINTER;
    if (!connected()) return RPC_E_DISCONNECTED;
    if (!is_self(child)) return standard_->accLocation(left, top, width, height, child);
    RECT rect;
    if (!GetWindowRect(hwnd_, &rect)) return E_FAIL;
    *left = rect.left;
    *top = rect.top;
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
    return S_OK;
  }

  // IAccessible: what the standard object answers
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return connected() ? standard_->get_accParent(parent) : RPC_E_DISCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    return connected() ? standard_->get_accChildCount(count) : RPC_E_DISCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    return connected() ? standard_->get_accChild(child, object) : RPC_E_DISCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    return connected() ? standard_->get_accDescription(child, description) : RPC_E_DISCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return connected() ? standard_->get_accHelp(child, help) : RPC_E_DISCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    return connected() ? standard_->get_accHelpTopic(file, child, topic) : RPC_E_DISCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return connected() ? standard_->get_accKeyboardShortcut(child, shortcut) : RPC_E_DISCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    return connected() ? standard_->get_accFocus(focus) : RPC_E_DISCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    return connected() ? standard_->get_accSelection(selection) : RPC_E_DISCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    return connected() ? standard_->accSelect(flags, child) : RPC_E_DISCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    return connected() ? standard_->accNavigate(direction, start, end) : RPC_E_DISCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
    return connected() ? standard_->accHitTest(x, y, child) : RPC_E_DISCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
    return connected() ? standard_->put_accName(child, name) : RPC_E_DISCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return connected() ? standard_->put_accValue(child, value) : RPC_E_DISCONNECTED;
  }

 private:
  ~AccessibleUnit() = default;

  bool connected() const { return source_ != nullptr && standard_; }

  LONG references_ = 1;
  HWND hwnd_;
  const AccessibleSource* source_;
  frame::com_ptr<IAccessible> standard_;
};

AccessibleClient::AccessibleClient(const AccessibleSource& source) : source_(source) {}

AccessibleClient::~AccessibleClient() {
  if (object_) object_->disconnect();
}

LRESULT AccessibleClient::answer_get_object(HWND hwnd, WPARAM wparam, LPARAM lparam) {
  if (static_cast<LONG>(lparam) != OBJID_CLIENT) return 0;
  const LresultFromObjectFunction lresult_from_object = g_lresult_from_object.get();
  if (lresult_from_object == nullptr) return 0;
  if (!object_) {
    frame::com_ptr<IAccessible> standard;
    const CreateStandardObject create_standard = g_create_standard_object.get();
    if (create_standard == nullptr ||
        FAILED(create_standard(hwnd, OBJID_CLIENT, IID_IAccessible, standard.put_void()))) {
      return 0;
    }
    object_ =
        frame::com_ptr<AccessibleUnit>::attach(new (std::nothrow) AccessibleUnit(hwnd, source_, std::move(standard)));
    if (!object_) return 0;
  }
  const LRESULT answer = lresult_from_object(IID_IAccessible, wparam, static_cast<IAccessible*>(object_.get()));
  return answer > 0 ? answer : 0;
}

}  // namespace units
