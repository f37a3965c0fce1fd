#include "ui/toolkit/headless.h"

#include <algorithm>

#include "platform/text.h"
#include "resources/catalogue.h"

namespace orvane::ui {

TextSize HeadlessPlatform::MeasureText(const std::string& text, const Font& font) {
  Twips width = 0;
  for (const char ch : text) {
    const auto byte = static_cast<unsigned char>(ch);
    if (byte < 0x80) {
      width += 10.0f * font.sizePt;
    } else if ((byte & 0xC0) != 0x80) {  // lead byte of a wider character
      width += 20.0f * font.sizePt;
    }
  }
  return {width, 20.0f * font.sizePt};
}

TextSize HeadlessPlatform::PictureSize(std::uint16_t bitmapId) {
  const PictureInfo info = LoadPictureInfo(bitmapId);
  if (!info.exists()) return {};
  // Designed at 96 dpi and drawn scaled, like the native windows do.
  return {static_cast<Twips>(info.width) * 15.0f, static_cast<Twips>(info.height) * 15.0f};
}

void HeadlessPlatform::Show(Form& form) {
  form.Load();
  shown.push_back(&form);
}

void HeadlessPlatform::ShowModal(Form& form, Form* /*owner*/) {
  // On the stack before its load runs, so the load already sees it on top.
  modalStack.push_back(&form);
  form.Load();
  shown.push_back(&form);
  if (!form.Closed() && onModal) onModal(form);
  if (!form.Closed()) form.Close();
  const auto it = std::find(modalStack.rbegin(), modalStack.rend(), &form);
  if (it != modalStack.rend()) modalStack.erase(std::next(it).base());
}

void HeadlessPlatform::MessageBox(const std::string& text, const std::string& caption,
                                  MessageBoxIcon icon) {
  messages.push_back({text, caption, icon});
  // A copy: the hook may raise further message boxes.
  const Message message = messages.back();
  if (onMessage) onMessage(message);
}

int HeadlessPlatform::PopupMenu(Form&, const std::vector<std::string>& lines, std::optional<Rect> at) {
  popupMenus.push_back(lines);
  popupPlaces.push_back(at);
  return onPopupMenu ? onPopupMenu(lines) : -1;
}

void HeadlessPlatform::DoEvents() {
  ++doEventsCalls;
  if (onDoEvents) onDoEvents();
}

CursorHandle HeadlessPlatform::LoadHandCursor() {
  ++handCursorLoads;
  return kHandCursor;
}

void HeadlessPlatform::SetCursor(CursorHandle cursor) { cursorsSet.push_back(cursor); }

void HeadlessPlatform::DragWindow(Form& form) { drags.push_back(&form); }

void HeadlessPlatform::EndProgram() { ended = true; }

bool HeadlessPlatform::Reachable(const Widget& widget) const {
  if (!widget.Shown()) return false;
  for (const Widget* w = &widget; w != nullptr; w = w->Parent()) {
    if (!w->Enabled()) return false;
  }
  const Form* form = widget.OwnerForm();
  if (form != nullptr && form->Closed()) return false;
  return modalStack.empty() || modalStack.back() == form;
}

bool HeadlessPlatform::Click(Widget& widget) {
  if (!Reachable(widget)) return false;
  widget.FireClick();
  return true;
}

bool HeadlessPlatform::MouseMove(Widget& widget, int buttons, Twips x, Twips y) {
  if (!Reachable(widget)) return false;
  widget.FireMouseMove({buttons, 0, x, y});
  return true;
}

bool HeadlessPlatform::MouseDown(Widget& widget, int button, Twips x, Twips y) {
  if (!Reachable(widget)) return false;
  widget.FireMouseDown({button, 0, x, y});
  return true;
}

bool HeadlessPlatform::MouseUp(Widget& widget, int button, Twips x, Twips y) {
  if (!Reachable(widget)) return false;
  widget.FireMouseUp({button, 0, x, y});
  return true;
}

bool HeadlessPlatform::Type(TextBox& box, const std::string& text) {
  if (!Reachable(box) || box.Locked()) return false;
  if (Form* form = box.OwnerForm()) form->SetFocus(&box);
  std::u16string units = Utf8ToUtf16(text);
  if (box.MaxLength() > 0 && units.size() > static_cast<std::size_t>(box.MaxLength())) {
    units.resize(static_cast<std::size_t>(box.MaxLength()));  // what the box takes in
    if (!units.empty() && units.back() >= 0xD800 && units.back() <= 0xDBFF) units.pop_back();
  }
  box.UserEdited(Utf16ToUtf8(units));
  return true;
}

bool HeadlessPlatform::ToggleLine(ListBox& list, int line) {
  if (!Reachable(list) || line < 0 || line >= list.ListCount()) return false;
  list.SetSelected(line, !list.Selected(line));
  return true;
}

bool HeadlessPlatform::PressKey(Form& form, Key key, int shift) {
  if (form.Closed() || !(modalStack.empty() || modalStack.back() == &form)) return false;
  return form.KeyDown({key, shift});
}

bool HeadlessPlatform::Scroll(ScrollBar& bar, int newValue) {
  if (!Reachable(bar)) return false;
  bar.SetValue(static_cast<std::int16_t>(std::clamp(newValue, -32768, 32767)));
  return true;
}

}  // namespace orvane::ui
