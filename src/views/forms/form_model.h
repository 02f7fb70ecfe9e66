// The forms layer as translation and the template writer see it: named forms
// owning named components (menu items too) with kind, caption, hint, item list
// and tag, both kept in creation order. Windows implement the change hooks to
// show the new texts; tests use the plain classes as in-memory forms.
#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace forms {

// What a component is, as far as translation tells kinds apart.
enum class Kind {
    Label,
    Panel,
    HyperLink,
    MenuItem,
    PopupMenu,
    MainMenu,
    TabSheet,
    Edit,
    Button,
    CheckBox,
    RadioButton,
    RadioGroup,
    GroupBox,
    ComboBox,
    ListBox,
    CheckListBox,
    ListView,
    TreeView,
    TabControl,
    Image,
    ImageList,
    Timer,
    FolderBrowseDialog,
    FileDialog,
    Other,
};

// Tag values with a meaning of their own.
constexpr int kTagNeverTranslated = 1973;
constexpr int kTagOwnFont = 2048;
constexpr int kTagTreeWithTexts = 1007;

// The font that translation applies to every control of a form.
struct FontSpec {
    int charset = 1;
    std::string name;
    int size = 0;  // points; 0 keeps the form's own size
};

class Form;

class Component {
  public:
    Component(std::string name, Kind kind) : name_(std::move(name)), kind_(kind) {}
    virtual ~Component() = default;
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    const std::string& Name() const { return name_; }
    Kind GetKind() const { return kind_; }
    Form* Owner() const { return owner_; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string text);
    const std::string& Hint() const { return hint_; }
    void SetHint(std::string text);
    // Items: a list's entries, a list view's column captions.
    const std::vector<std::string>& Items() const { return items_; }
    int ItemCount() const { return static_cast<int>(items_.size()); }
    // Entry n; false (nothing changed) when n is not below the count.
    bool SetItem(int n, std::string text);
    void SetItems(std::vector<std::string> items);
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

    virtual void SetFont(const FontSpec&) {}

  protected:
    // Called after the model changed, so that a window can show it.
    virtual void CaptionChanged() {}
    virtual void HintChanged() {}
    virtual void ItemsChanged() {}

  private:
    friend class Form;
    std::string name_;
    Kind kind_;
    Form* owner_ = nullptr;
    std::string caption_;
    std::string hint_;
    std::vector<std::string> items_;
    int tag_ = 0;
};

class Application;

// A form owns its components. It registers with its application (when given)
// for its lifetime, so the application's list is always in creation order.
class Form {
  public:
    explicit Form(std::string name, Application* app = nullptr);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& Name() const { return name_; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string text);
    const std::string& Hint() const { return hint_; }
    void SetHint(std::string text) { hint_ = std::move(text); }

    template <class T, class... Args>
    T& Add(Args&&... args) {
        auto c = std::make_unique<T>(std::forward<Args>(args)...);
        T& ref = *c;
        Adopt(std::move(c));
        return ref;
    }
    // Takes a component made elsewhere; it keeps its place in creation order.
    Component& Adopt(std::unique_ptr<Component> c);
    // Frees a component (a rebuilt submenu); the others keep their order.
    void Remove(Component& c);

    const std::vector<std::unique_ptr<Component>>& Components() const { return components_; }
    // By name, without regard to case; nullptr when the form owns none.
    Component* Find(std::string_view name) const;

    virtual void SetFont(const FontSpec& font);
    const FontSpec& Font() const { return font_; }

  protected:
    virtual void CaptionChanged() {}

  private:
    std::string name_;
    std::string caption_;
    std::string hint_;
    Application* app_;
    FontSpec font_;
    std::vector<std::unique_ptr<Component>> components_;
};

// The program's forms in creation order.
class Application {
  public:
    const std::vector<Form*>& Forms() const { return forms_; }
    Form* Find(std::string_view name) const;  // without regard to case

  private:
    friend class Form;
    void Register(Form* f) { forms_.push_back(f); }
    void Unregister(Form* f);
    std::vector<Form*> forms_;
};

// The application of the running program.
Application& TheApplication();

}  // namespace forms
