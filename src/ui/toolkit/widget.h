#pragma once
// The retained widget model. Window logic reads and writes these objects;
// a platform peer (native windows, or none when headless) paints them and
// feeds input back as events.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/toolkit/accessible_info.h"
#include "ui/toolkit/basics.h"

namespace orvane::ui {

class Container;
class Form;

enum class WidgetKind { Form, Image, Label, TextBox, ScrollBar, Panel, ListBox, UserControl, Timer };

// What changed, so a peer repaints or updates only that.
enum class Change {
  Geometry, Visible, Enabled, Picture, Caption, Colors, Font, Text, Value, Range, Items,
  ToolTip, Pointer, Added, Removing, Focus, Timer,
};

using MouseHandler = std::function<void(const MouseEvent&)>;
using Handler = std::function<void()>;

class Widget {
 public:
  Widget(const Widget&) = delete;
  Widget& operator=(const Widget&) = delete;
  virtual ~Widget();

  WidgetKind Kind() const { return kind_; }
  const std::string& Name() const { return name_; }
  int Index() const { return index_; }  // element of a control array, or -1
  Container* Parent() const { return parent_; }
  Form* OwnerForm() const;

  // Geometry in twips, relative to the parent.
  Twips Left() const { return rect_.left; }
  Twips Top() const { return rect_.top; }
  Twips Width() const { return rect_.width; }
  Twips Height() const { return rect_.height; }
  const Rect& Bounds() const { return rect_; }
  void SetLeft(Twips v) { Move({v, rect_.top, rect_.width, rect_.height}); }
  void SetTop(Twips v) { Move({rect_.left, v, rect_.width, rect_.height}); }
  void SetWidth(Twips v) { Move({rect_.left, rect_.top, v, rect_.height}); }
  void SetHeight(Twips v) { Move({rect_.left, rect_.top, rect_.width, v}); }
  void Move(const Rect& r);

  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);

  MousePointer Pointer() const { return pointer_; }
  void SetPointer(MousePointer p);
  const std::string& ToolTip() const { return toolTip_; }
  void SetToolTip(std::string text);

  // Keyboard focus order; widgets that cannot take focus ignore it.
  int TabIndex() const { return tabIndex_; }
  void SetTabIndex(int i) { tabIndex_ = i; }
  // Takes part in the tab order (painted widgets do not unless told).
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool on) { tabStop_ = on; }
  virtual bool CanFocus() const { return tabStop_ && Usable(); }
  // Shown, with itself and every ancestor enabled.
  bool Usable() const;

  // How screen readers see it; role None keeps it out of the accessible tree.
  AccessibleInfo accessible;
  // A check box's tick, as a screen reader reports it.
  virtual bool AccessibleChecked() const { return false; }

  // Event handlers, set by window logic.
  Handler onClick;
  MouseHandler onMouseMove;
  MouseHandler onMouseDown;
  MouseHandler onMouseUp;
  // The wheel turned over the widget: 120 a notch, positive away from the
  // user. True when handled; otherwise the parent is asked.
  std::function<bool(int delta)> onMouseWheel;

  // Entry points for the peer (or a headless test) to deliver input.
  virtual void FireClick();
  void FireMouseMove(const MouseEvent& e) { if (onMouseMove) onMouseMove(e); }
  void FireMouseDown(const MouseEvent& e) { if (onMouseDown) onMouseDown(e); }
  void FireMouseUp(const MouseEvent& e) { if (onMouseUp) onMouseUp(e); }
  // Offers the wheel to this widget, then to each parent in turn.
  bool FireMouseWheel(int delta);

  // Position relative to the form's client area, in twips.
  Rect FormBounds() const;
  // Visible on screen: itself and every ancestor visible.
  bool Shown() const;

  void* peerData = nullptr;  // for the platform peer's own bookkeeping

 protected:
  Widget(WidgetKind kind, std::string name, int index = -1);
  void Notify(Change what);
  virtual void OnResized() {}
  // Called once the widget (or a container holding it) joins a form's tree.
  virtual void OnAttached();

 private:
  friend class Container;
  WidgetKind kind_;
  std::string name_;
  int index_;
  Container* parent_ = nullptr;
  Rect rect_;
  bool visible_ = true;
  bool enabled_ = true;
  MousePointer pointer_ = MousePointer::Default;
  std::string toolTip_;
  int tabIndex_ = 0;
  bool tabStop_ = false;
};

// A widget that holds others. Children are owned and kept in creation order;
// later children lie above earlier ones.
class Container : public Widget {
 public:
  template <class W, class... Args>
  W& Add(Args&&... args) {
    auto owned = std::make_unique<W>(std::forward<Args>(args)...);
    W& widget = *owned;
    Adopt(std::move(owned));
    return widget;
  }
  const std::vector<std::unique_ptr<Widget>>& Children() const { return children_; }
  void Remove(Widget& child);

  Color BackColor() const { return backColor_; }
  void SetBackColor(Color c);

  // The deepest visible widget at (x, y) in this container's coordinates, or this.
  Widget* HitTest(Twips x, Twips y);

 protected:
  using Widget::Widget;

 private:
  void Adopt(std::unique_ptr<Widget> child);
  static void AttachTree(Widget& w);
  std::vector<std::unique_ptr<Widget>> children_;
  Color backColor_ = 0x8000000Fu;
};

}  // namespace orvane::ui
