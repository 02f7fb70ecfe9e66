// Child controls as named components: the model holds the texts, the control
// shows them. Layout is in pixels at 96 DPI, scaled by the owner.
#pragma once
#include <windows.h>

#include <string>

#include "views/forms/form_model.h"

namespace ui {

class Control : public forms::Component {
  public:
    Control(std::string name, forms::Kind kind) : forms::Component(std::move(name), kind) {}
    ~Control() override;
    HWND Handle() const { return hwnd_; }
    // Creates the control of a system class inside parent.
    bool CreateIn(HWND parent, const wchar_t* cls, DWORD style, RECT bounds, int id, HFONT font);
    void SetFont(const forms::FontSpec&) override {}

  protected:
    void CaptionChanged() override;
    HWND hwnd_ = nullptr;
};

class Label : public Control {
  public:
    explicit Label(std::string name) : Control(std::move(name), forms::Kind::Label) {}
};

class Button : public Control {
  public:
    explicit Button(std::string name) : Control(std::move(name), forms::Kind::Button) {}
};

class CheckBox : public Control {
  public:
    explicit CheckBox(std::string name) : Control(std::move(name), forms::Kind::CheckBox) {}
    bool Checked() const;
    void SetChecked(bool on);
};

// A component without a window of its own (timers, image lists, pictures).
class Plain : public forms::Component {
  public:
    Plain(std::string name, forms::Kind kind) : forms::Component(std::move(name), kind) {}
};

}  // namespace ui
