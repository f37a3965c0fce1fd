#pragma once
// The MSAA object a form window hands out for WM_GETOBJECT: the window's
// client area, whose children are the form's accessible nodes
// (ui/toolkit/accessible.h), child id = node index + 1.
#include <windows.h>
#include <oleacc.h>

#include <vector>

#include "ui/toolkit/accessible.h"
#include "ui/win32/gdi_handles.h"

namespace orvane::ui::win32 {

class FormWindow;

// Posted to the form window to run a node's default action (wParam: index)
// once the caller's COM call has returned.
constexpr UINT kAccessibleActionMessage = WM_APP + 0x41;

// The interface id spelled out: MinGW's import library may lack it.
extern const IID kIidAccessible;

class FormAccessible final : public IAccessible {
 public:
  explicit FormAccessible(FormWindow& window);
  // The window is going: every later call fails.
  void Disconnect();

  // What WM_GETOBJECT answers for OBJID_CLIENT.
  LRESULT Answer(WPARAM wp);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override;
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override;
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override;
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override;
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override;
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

 private:
  ~FormAccessible();
  // S_OK with the node's index (-1: the window itself), or an error.
  HRESULT Find(const VARIANT& child, std::vector<AccNode>& nodes, int& index) const;
  // A text of the node `child` names; the window itself has none.
  HRESULT NodeText(const VARIANT& child, BSTR* out, std::string (*get)(const AccNode&)) const;
  IAccessible* Standard();

  FormWindow* window_;
  UniqueCom<IAccessible> standard_;  // the system's object for the client area
  LONG refs_ = 1;
};

// The MSAA role and state of a node.
long MsaaRole(AccRole role);
long MsaaState(unsigned state);

}  // namespace orvane::ui::win32
