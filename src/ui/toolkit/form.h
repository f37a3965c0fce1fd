#pragma once
// A borderless top-level window: a background picture drawn unscaled from its
// top-left corner, a title text (no title bar is drawn), its widgets.
#include <cstdint>
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
  // A key pressed while the form is active (virtual-key code); true when handled.
  std::function<bool(int key)> onKeyDown;

  // Unloads the form: a modal show returns, the native window goes.
  void Close();
  bool Closed() const { return closed_; }

  // Keyboard focus among the widgets that can take it, in tab order.
  Widget* Focused() const { return focused_; }
  void SetFocus(Widget* widget);
  void FocusFirst();
  void FocusNext(bool backwards = false);

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
  FormPeer* peer_ = nullptr;
};

}  // namespace orvane::ui
