#pragma once
// A borderless top-level window: a background picture drawn unscaled from its
// top-left corner, a title text (no title bar is drawn), its widgets.
#include <cstdint>
#include <functional>
#include <string>

#include "ui/toolkit/widgets.h"

namespace orvane::ui {

class UiPlatform;

// The native side of one shown form; told of every change in its tree.
class FormPeer {
 public:
  virtual ~FormPeer() = default;
  virtual void Changed(Widget& widget, Change what) = 0;
};

enum class StartPosition { CenterScreen, CenterOwner };

// Menu: the context-menu key or Shift+F10.
enum class Key { Tab, Space, Enter, Escape, Up, Down, Home, End, F5, Menu };

struct KeyEvent {
  Key key;
  int shift = 0;  // 1 shift, 2 ctrl, 4 alt
};

class Form : public Container {
 public:
  Form(UiPlatform& platform, std::string name);
  ~Form() override;

  UiPlatform& Platform() const { return *platform_; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string text);
  std::uint16_t Picture() const { return picture_; }
  void SetPicture(std::uint16_t bitmapId);  // background, loaded afresh each time
  std::uint64_t PictureSerial() const { return pictureSerial_; }
  std::uint16_t Icon() const { return icon_; }
  void SetIcon(std::uint16_t iconId) { icon_ = iconId; }
  StartPosition Position() const { return position_; }
  void SetPosition(StartPosition p) { position_ = p; }

  // Runs the form's load once, before it is first shown.
  void Load();
  bool Loaded() const { return loaded_; }
  Handler onLoad;

  // Unloads the form: a modal show returns, the native window goes.
  void Close();
  bool Closed() const { return closed_; }

  // Keyboard focus among the widgets that can take it, in tab order.
  Widget* Focused() const { return focused_; }
  void SetFocus(Widget* widget);
  void FocusFirst();
  void FocusNext(bool backwards = false);

  // Keyboard, as in a standard dialog: Tab moves the focus, space presses
  // the focused control, Enter the focused button or else the default one,
  // Esc the cancel button. onKeyDown sees each key first (true: handled).
  // Returns whether the key did anything.
  bool KeyDown(const KeyEvent& e);
  std::function<bool(const KeyEvent&)> onKeyDown;
  // Told when a key has moved the focus, so the form can bring it into view.
  std::function<void(Widget&)> onKeyboardFocus;
  void SetDefaultButton(Widget* w) { defaultButton_ = w; }
  void SetCancelButton(Widget* w) { cancelButton_ = w; }
  // The system's close command (Alt+F4) presses this, or else just closes.
  void SetCloseButton(Widget* w) { closeButton_ = w; }
  void RequestClose();
  // What a click on a widget does, if it can be used now.
  static bool Press(Widget& widget);
  // Moves the focus for the keyboard and tells onKeyboardFocus.
  void FocusByKeyboard(Widget* widget);

  void SetPeer(FormPeer* peer) { peer_ = peer; }
  FormPeer* Peer() const { return peer_; }
  void NotifyPeer(Widget& widget, Change what) {
    if (peer_ != nullptr) peer_->Changed(widget, what);
  }

 private:
  UiPlatform* platform_;
  std::string caption_;
  std::uint16_t picture_ = 0;
  std::uint64_t pictureSerial_ = 0;
  std::uint16_t icon_ = 0;
  StartPosition position_ = StartPosition::CenterScreen;
  bool loaded_ = false;
  bool closed_ = false;
  Widget* focused_ = nullptr;
  Widget* defaultButton_ = nullptr;
  Widget* cancelButton_ = nullptr;
  Widget* closeButton_ = nullptr;
  FormPeer* peer_ = nullptr;
};

}  // namespace orvane::ui
