#include "ui/win32/accessible_win32.h"

#include <string>

#include "platform/text.h"
#include "platform/win32/system_library.h"
#include "ui/win32/form_window.h"

namespace orvane::ui::win32 {

const IID kIidAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

namespace {

const IID kIidDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kIidUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The accessibility libraries load when a client first asks, not at start.
template <class F>
F Oleacc(const char* name) {
  return SystemFunction<F>(L"oleacc.dll", name);
}

HRESULT Text(const std::string& utf8, BSTR* out) {
  using AllocFn = BSTR(WINAPI*)(const OLECHAR*, UINT);
  static const auto alloc = SystemFunction<AllocFn>(L"oleaut32.dll", "SysAllocStringLen");
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (utf8.empty()) return S_FALSE;
  if (alloc == nullptr) return E_OUTOFMEMORY;
  std::u16string wide = Utf8ToUtf16(utf8);
  *out = alloc(reinterpret_cast<const OLECHAR*>(wide.data()), static_cast<UINT>(wide.size()));
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

// What VariantInit does.
void Empty(VARIANT* out) { out->vt = VT_EMPTY; }

void Int(VARIANT* out, long value) {
  Empty(out);
  out->vt = VT_I4;
  out->lVal = value;
}

// COM may have been started with other settings by someone else; either way
// it stays for the life of the process.
void EnsureCom() {
  static const bool started = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  (void)started;
}

}  // namespace

long MsaaRole(AccRole role) {
  switch (role) {
    case AccRole::CheckBox: return ROLE_SYSTEM_CHECKBUTTON;
    case AccRole::PushButton: return ROLE_SYSTEM_PUSHBUTTON;
    case AccRole::Link: return ROLE_SYSTEM_LINK;
    case AccRole::List: return ROLE_SYSTEM_LIST;
    case AccRole::StaticText: return ROLE_SYSTEM_STATICTEXT;
    case AccRole::Text: return ROLE_SYSTEM_TEXT;
    case AccRole::None: break;
  }
  return ROLE_SYSTEM_CLIENT;
}

long MsaaState(unsigned state) {
  struct Flag {
    unsigned ours;
    long msaa;
  };
  static const Flag flags[] = {
      {kAccChecked, STATE_SYSTEM_CHECKED},         {kAccFocused, STATE_SYSTEM_FOCUSED},
      {kAccFocusable, STATE_SYSTEM_FOCUSABLE},     {kAccUnavailable, STATE_SYSTEM_UNAVAILABLE},
      {kAccInvisible, STATE_SYSTEM_INVISIBLE},     {kAccOffscreen, STATE_SYSTEM_OFFSCREEN},
      {kAccReadOnly, STATE_SYSTEM_READONLY},
  };
  long msaa = 0;
  for (const Flag& f : flags) {
    if ((state & f.ours) != 0) msaa |= f.msaa;
  }
  return msaa;
}

FormAccessible::FormAccessible(FormWindow& window) : window_(&window) {}

FormAccessible::~FormAccessible() = default;

void FormAccessible::Disconnect() {
  window_ = nullptr;
  standard_.reset();
  ::CoDisconnectObject(static_cast<IAccessible*>(this), 0);
}

LRESULT FormAccessible::Answer(WPARAM wp) {
  EnsureCom();
  using LresultFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
  static const auto lresult = Oleacc<LresultFn>("LresultFromObject");
  if (lresult == nullptr) return 0;
  return lresult(kIidAccessible, wp, static_cast<IAccessible*>(this));
}

IAccessible* FormAccessible::Standard() {
  if (!standard_ && window_ != nullptr) {
    using StandardFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
    static const auto create = Oleacc<StandardFn>("CreateStdAccessibleObject");
    void* object = nullptr;
    if (create != nullptr && SUCCEEDED(create(window_->Handle(), OBJID_CLIENT, kIidAccessible, &object))) {
      standard_.reset(static_cast<IAccessible*>(object));
    }
  }
  return standard_.get();
}

HRESULT FormAccessible::Find(const VARIANT& child, std::vector<AccNode>& nodes, int& index) const {
  if (window_ == nullptr || window_->GetForm() == nullptr) return CO_E_OBJNOTCONNECTED;
  if (child.vt != VT_I4) return E_INVALIDARG;
  if (child.lVal == CHILDID_SELF) {
    index = -1;
    return S_OK;
  }
  nodes = AccessibleChildren(*window_->GetForm());
  if (child.lVal < 1 || child.lVal > static_cast<long>(nodes.size())) return E_INVALIDARG;
  index = static_cast<int>(child.lVal - 1);
  return S_OK;
}

// --- IUnknown, IDispatch

HRESULT FormAccessible::QueryInterface(REFIID riid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (IsEqualIID(riid, kIidUnknown) || IsEqualIID(riid, kIidDispatch) || IsEqualIID(riid, kIidAccessible)) {
    *out = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG FormAccessible::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }

ULONG FormAccessible::Release() {
  LONG left = ::InterlockedDecrement(&refs_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT FormAccessible::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}
HRESULT FormAccessible::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) *info = nullptr;
  return E_NOTIMPL;
}
HRESULT FormAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
HRESULT FormAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
}

// --- IAccessible: the window itself comes from the system's object.

HRESULT FormAccessible::get_accParent(IDispatch** parent) {
  if (parent == nullptr) return E_POINTER;
  *parent = nullptr;
  IAccessible* standard = Standard();
  return standard != nullptr ? standard->get_accParent(parent) : S_FALSE;
}

HRESULT FormAccessible::get_accChildCount(long* count) {
  if (count == nullptr) return E_POINTER;
  if (window_ == nullptr || window_->GetForm() == nullptr) return CO_E_OBJNOTCONNECTED;
  *count = static_cast<long>(AccessibleChildren(*window_->GetForm()).size());
  return S_OK;
}

HRESULT FormAccessible::get_accChild(VARIANT child, IDispatch** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  std::vector<AccNode> nodes;
  int index = -1;
  HRESULT hr = Find(child, nodes, index);
  if (FAILED(hr)) return hr;
  return index < 0 ? E_INVALIDARG : S_FALSE;  // children are simple elements
}

HRESULT FormAccessible::get_accName(VARIANT child, BSTR* name) {
  std::vector<AccNode> nodes;
  int index = -1;
  HRESULT hr = Find(child, nodes, index);
  if (FAILED(hr)) return hr;
  if (index < 0) return Standard() != nullptr ? standard_.get()->get_accName(child, name) : S_FALSE;
  return Text(nodes[index].name, name);
}

HRESULT FormAccessible::NodeText(const VARIANT& child, BSTR* out,
                                 std::string (*get)(const AccNode&)) const {
  std::vector<AccNode> nodes;
  int index = -1;
  HRESULT hr = Find(child, nodes, index);
  if (FAILED(hr)) return hr;
  return Text(index < 0 ? std::string() : get(nodes[index]), out);
}

HRESULT FormAccessible::get_accValue(VARIANT child, BSTR* value) {
  return NodeText(child, value, [](const AccNode& node) { return node.value; });
}

HRESULT FormAccessible::get_accDescription(VARIANT child, BSTR* text) {
  return NodeText(child, text, [](const AccNode& node) { return node.description; });
}

HRESULT FormAccessible::get_accRole(VARIANT child, VARIANT* role) {
  if (role == nullptr) return E_POINTER;
  std::vector<AccNode> nodes;
  int index = -1;
  HRESULT hr = Find(child, nodes, index);
  if (FAILED(hr)) return hr;
  Int(role, index < 0 ? ROLE_SYSTEM_CLIENT : MsaaRole(nodes[index].role));
  return S_OK;
}

HRESULT FormAccessible::get_accState(VARIANT child, VARIANT* state) {
  if (state == nullptr) return E_POINTER;
  std::vector<AccNode> nodes;
  int index = -1;
  HRESULT hr = Find(child, nodes, index);
  if (FAILED(hr)) return hr;
  if (index < 0) return Standard() != nullptr ? standard_.get()->get_accState(child, state) : E_FAIL;
  Int(state, MsaaState(nodes[index].state));
  return S_OK;
}

HRESULT FormAccessible::get_accHelp(VARIANT, BSTR* help) { return Text({}, help); }

HRESULT FormAccessible::get_accHelpTopic(BSTR* file, VARIANT, long* topic) {
  if (file != nullptr) *file = nullptr;
  if (topic != nullptr) *topic = 0;
  return S_FALSE;
}

HRESULT FormAccessible::get_accKeyboardShortcut(VARIANT, BSTR* keys) { return Text({}, keys); }

HRESULT FormAccessible::get_accFocus(VARIANT* focus) {
  if (focus == nullptr) return E_POINTER;
  Empty(focus);
  if (window_ == nullptr || window_->GetForm() == nullptr) return CO_E_OBJNOTCONNECTED;
  HWND owner = ::GetFocus();
  if (owner == nullptr || (owner != window_->Handle() && !::IsChild(window_->Handle(), owner))) return S_FALSE;
  int index = FocusedAccessible(AccessibleChildren(*window_->GetForm()));
  Int(focus, index < 0 ? CHILDID_SELF : index + 1);
  return S_OK;
}

HRESULT FormAccessible::get_accSelection(VARIANT* selection) {
  if (selection == nullptr) return E_POINTER;
  Empty(selection);
  return S_FALSE;
}

HRESULT FormAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
  return NodeText(child, action, [](const AccNode& node) { return DefaultActionName(node); });
}

HRESULT FormAccessible::accSelect(long flags, VARIANT child) {
  std::vector<AccNode> nodes;
  int index = -1;
  HRESULT hr = Find(child, nodes, index);
  if (FAILED(hr)) return hr;
  if (index < 0 || flags != SELFLAG_TAKEFOCUS || nodes[index].line >= 0) return DISP_E_MEMBERNOTFOUND;
  Widget* widget = nodes[index].widget;
  if (!widget->CanFocus()) return S_FALSE;
  window_->GetForm()->SetFocus(widget);
  return S_OK;
}

HRESULT FormAccessible::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
  if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) return E_POINTER;
  std::vector<AccNode> nodes;
  int index = -1;
  HRESULT hr = Find(child, nodes, index);
  if (FAILED(hr)) return hr;
  if (index < 0) {
    return Standard() != nullptr ? standard_.get()->accLocation(left, top, width, height, child) : E_FAIL;
  }
  RECT r = window_->PixelRect(*nodes[index].widget);
  POINT origin{r.left, r.top};
  ::ClientToScreen(window_->Handle(), &origin);
  *left = origin.x;
  *top = origin.y;
  *width = r.right - r.left;
  *height = r.bottom - r.top;
  return S_OK;
}

HRESULT FormAccessible::accNavigate(long direction, VARIANT start, VARIANT* end) {
  if (end == nullptr) return E_POINTER;
  Empty(end);
  std::vector<AccNode> nodes;
  int index = -1;
  HRESULT hr = Find(start, nodes, index);
  if (FAILED(hr)) return hr;
  if (index < 0) {
    if (direction != NAVDIR_FIRSTCHILD && direction != NAVDIR_LASTCHILD) {
      return Standard() != nullptr ? standard_.get()->accNavigate(direction, start, end) : S_FALSE;
    }
    nodes = AccessibleChildren(*window_->GetForm());
    if (nodes.empty()) return S_FALSE;
    Int(end, direction == NAVDIR_FIRSTCHILD ? 1 : static_cast<long>(nodes.size()));
    return S_OK;
  }
  long to = 0;
  if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) to = index + 2;
  if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) to = index;
  if (to < 1 || to > static_cast<long>(nodes.size())) return S_FALSE;
  Int(end, to);
  return S_OK;
}

HRESULT FormAccessible::accHitTest(long x, long y, VARIANT* child) {
  if (child == nullptr) return E_POINTER;
  Empty(child);
  if (window_ == nullptr || window_->GetForm() == nullptr) return CO_E_OBJNOTCONNECTED;
  POINT at{x, y};
  ::ScreenToClient(window_->Handle(), &at);
  RECT client{};
  ::GetClientRect(window_->Handle(), &client);
  if (!::PtInRect(&client, at)) return S_FALSE;
  const std::vector<AccNode> nodes = AccessibleChildren(*window_->GetForm());
  long found = CHILDID_SELF;
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    if ((nodes[i].state & (kAccInvisible | kAccOffscreen)) != 0 || nodes[i].line >= 0) continue;
    RECT r = window_->PixelRect(*nodes[i].widget);
    if (::PtInRect(&r, at)) found = static_cast<long>(i + 1);  // later ones lie above
  }
  Int(child, found);
  return S_OK;
}

HRESULT FormAccessible::accDoDefaultAction(VARIANT child) {
  std::vector<AccNode> nodes;
  int index = -1;
  HRESULT hr = Find(child, nodes, index);
  if (FAILED(hr)) return hr;
  if (index < 0 || DefaultActionName(nodes[index]).empty()) return DISP_E_MEMBERNOTFOUND;
  // Behind a modal dialog the window takes no input, from here either.
  if (!nodes[index].widget->Usable() || !::IsWindowEnabled(window_->Handle())) return E_FAIL;
  // A click may open a modal dialog or end the program: not inside the caller's call.
  ::PostMessageW(window_->Handle(), kAccessibleActionMessage, static_cast<WPARAM>(index), 0);
  return S_OK;
}

HRESULT FormAccessible::put_accName(VARIANT, BSTR) { return E_NOTIMPL; }
HRESULT FormAccessible::put_accValue(VARIANT, BSTR) { return E_NOTIMPL; }

}  // namespace orvane::ui::win32
