#include "views/forms/form_model.h"

#include <algorithm>

#include "common/text.h"

namespace forms {

void Component::SetCaption(std::string text) {
    caption_ = std::move(text);
    CaptionChanged();
}

void Component::SetHint(std::string text) {
    hint_ = std::move(text);
    HintChanged();
}

bool Component::SetItem(int n, std::string text) {
    if (n < 0 || n >= ItemCount()) return false;
    items_[n] = std::move(text);
    ItemsChanged();
    return true;
}

void Component::SetItems(std::vector<std::string> items) {
    items_ = std::move(items);
    ItemsChanged();
}

Form::Form(std::string name, Application* app) : name_(std::move(name)), app_(app) {
    if (app_) app_->Register(this);
}

Form::~Form() {
    if (app_) app_->Unregister(this);
}

void Form::SetCaption(std::string text) {
    caption_ = std::move(text);
    CaptionChanged();
}

Component& Form::Adopt(std::unique_ptr<Component> c) {
    c->owner_ = this;
    components_.push_back(std::move(c));
    return *components_.back();
}

void Form::Remove(Component& c) {
    auto it = std::find_if(components_.begin(), components_.end(),
                           [&](const std::unique_ptr<Component>& p) { return p.get() == &c; });
    if (it != components_.end()) components_.erase(it);
}

Component* Form::Find(std::string_view name) const {
    for (const auto& c : components_)
        if (text::EqualsIgnoreCase(c->Name(), name)) return c.get();
    return nullptr;
}

void Form::SetFont(const FontSpec& font) {
    font_ = font;
    for (const auto& c : components_)
        if (c->Tag() != kTagOwnFont) c->SetFont(font);
}

Form* Application::Find(std::string_view name) const {
    for (Form* f : forms_)
        if (text::EqualsIgnoreCase(f->Name(), name)) return f;
    return nullptr;
}

void Application::Unregister(Form* f) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), f), forms_.end());
}

Application& TheApplication() {
    static Application app;
    return app;
}

}  // namespace forms
