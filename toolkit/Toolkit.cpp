// The toolkit's model: geometry, labels, views, scroll views, menus and the window's model
// side. Qt-free; the backend is QtBackend.cpp.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

#include "Toolkit.h"
#include "ToolkitInternal.h"

namespace tk {

namespace {

// Shares a size change among the flexible parts of one axis.
void Autoresize(double delta, bool minMargin, bool size, bool maxMargin, double* origin,
                double* extent) {
    const int flexible = int{minMargin} + int{size} + int{maxMargin};
    if (flexible == 0 || delta == 0) {
        return;
    }
    const double share = delta / flexible;
    if (minMargin) {
        *origin += share;
    }
    if (size) {
        *extent += share;
    }
}

// ---- Colour table ----

// The colours of a new label, as Label's defaults give their indexes.
constexpr std::uint16_t kBlackIndex = 0;
constexpr std::uint16_t kWhiteIndex = 1;

// Every distinct colour labels were given, each once; a label holds its colour's index. Black
// and white, the defaults of a label, are entries 0 and 1 without being stored. Constant
// initialised and never destroyed (it owns its storage through plain pointers), so reading it
// costs no initialisation check and labels may outlive other statics.
class ColorTable {
  public:
    constexpr ColorTable() = default;

    const Color& At(std::uint16_t index) const {
        return index == kBlackIndex   ? kBlack
               : index == kWhiteIndex ? kWhite
                                      : (*colors_)[index - kFixed];
    }

    // The index of color, added when new; NaN components read as 0 and -0 as 0.
    std::uint16_t IndexOf(Color color) {
        if (At(last_) == color) {
            return last_;  // labels are mostly coloured in runs of one colour
        }
        for (double* c : {&color.red, &color.green, &color.blue, &color.alpha}) {
            *c = std::isnan(*c) ? 0.0 : *c + 0.0;
        }
        last_ = Find(color);
        return last_;
    }

  private:
    using Key = std::array<double, 4>;
    static constexpr Color kBlack = Color::Black();
    static constexpr Color kWhite = Color::White();
    static constexpr std::size_t kFixed = 2;     // black and white
    static constexpr std::size_t kScanned = 32;  // a short table is searched in order
    static constexpr std::size_t kCapacity =
        std::size_t{std::numeric_limits<std::uint16_t>::max()} + 1;

    std::uint16_t Find(const Color& color) {
        if (color == kBlack) {
            return kBlackIndex;
        }
        if (color == kWhite) {
            return kWhiteIndex;
        }
        if (colors_ == nullptr) {
            colors_ = new std::vector<Color>;  // kept for the life of the process
            index_ = new std::map<Key, std::uint16_t>;
        }
        const Key key{color.red, color.green, color.blue, color.alpha};
        if (colors_->size() <= kScanned) {
            const auto it = std::find(colors_->begin(), colors_->end(), color);
            if (it != colors_->end()) {
                return static_cast<std::uint16_t>(kFixed + (it - colors_->begin()));
            }
        } else if (const auto found = index_->find(key); found != index_->end()) {
            return found->second;
        }
        if (kFixed + colors_->size() < kCapacity) {
            const auto index = static_cast<std::uint16_t>(kFixed + colors_->size());
            colors_->push_back(color);
            index_->emplace(key, index);
            return index;
        }
        return Nearest(color);
    }

    std::uint16_t Nearest(const Color& color) const {
        const auto distance = [&color](const Color& c) {
            const double r = c.red - color.red;
            const double g = c.green - color.green;
            const double b = c.blue - color.blue;
            const double a = c.alpha - color.alpha;
            return r * r + g * g + b * b + a * a;
        };
        std::size_t best = 0;
        for (std::size_t i = 1; i < kFixed + colors_->size(); ++i) {
            if (distance(At(static_cast<std::uint16_t>(i))) <
                distance(At(static_cast<std::uint16_t>(best)))) {
                best = i;
            }
        }
        return static_cast<std::uint16_t>(best);
    }

    std::vector<Color>* colors_ = nullptr;  // entries from kFixed on
    std::map<Key, std::uint16_t>* index_ = nullptr;
    std::uint16_t last_ = kBlackIndex;
};

constinit ColorTable g_colors;

// ---- Label pool ----

// Fixed-size slots carved from 64 kB slabs, with a free list threaded through the free slots.
// Slabs are kept for the life of the process (reachable from here, so not a leak). Under
// AddressSanitizer labels use the general allocator, so that a use after free is still caught.
class LabelPool {
  public:
    static constexpr std::size_t kSlabBytes = 64 * 1024;

    void* Take(std::size_t size) {
        if (free_ == nullptr) {
            Grow(size);
        }
        FreeSlot* slot = free_;
        free_ = slot->next;
        return slot;
    }

    void Give(void* p) {
        auto* slot = static_cast<FreeSlot*>(p);
        slot->next = free_;
        free_ = slot;
    }

  private:
    struct FreeSlot {
        FreeSlot* next;
    };

    void Grow(std::size_t size) {
        if (slabs_ == nullptr) {
            slabs_ = new std::vector<void*>;  // kept for the life of the process
        }
        auto* slab = static_cast<char*>(::operator new(kSlabBytes));
        slabs_->push_back(slab);
        for (std::size_t offset = 0; offset + size <= kSlabBytes; offset += size) {
            Give(slab + offset);
        }
    }

    FreeSlot* free_ = nullptr;
    std::vector<void*>* slabs_ = nullptr;
};

constinit LabelPool g_labelPool;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPoolLabels = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kPoolLabels = false;
#else
constexpr bool kPoolLabels = true;
#endif
#else
constexpr bool kPoolLabels = true;
#endif

}  // namespace

void* Label::operator new(std::size_t size) {
    if (!kPoolLabels || size != sizeof(Label)) {
        return ::operator new(size);
    }
    return g_labelPool.Take(size);
}

void Label::operator delete(void* p, std::size_t size) noexcept {
    if (p == nullptr) {
        return;
    }
    if (!kPoolLabels || size != sizeof(Label)) {
        ::operator delete(p);
        return;
    }
    g_labelPool.Give(p);
}

static_assert(sizeof(Label) <= 72, "a label must stay small: grids hold tens of thousands");

// ---- Geometry ----

Rect Rect::Union(const Rect& other) const {
    if (other.IsEmpty()) {
        return *this;
    }
    if (IsEmpty()) {
        return other;
    }
    const double left = std::min(x, other.x);
    const double bottom = std::min(y, other.y);
    return {left, bottom, std::max(MaxX(), other.MaxX()) - left,
            std::max(MaxY(), other.MaxY()) - bottom};
}

Rect Rect::Intersection(const Rect& other) const {
    if (!Intersects(other)) {
        return {};
    }
    const double left = std::max(x, other.x);
    const double bottom = std::max(y, other.y);
    return {left, bottom, std::min(MaxX(), other.MaxX()) - left,
            std::min(MaxY(), other.MaxY()) - bottom};
}

Rect FlipRect(const Rect& r, double containerHeight) {
    return {r.x, containerHeight - r.y - r.height, r.width, r.height};
}

Rect ScreenRectFromTopDown(const Rect& topDown, const Rect& mainScreenTopDown) {
    return {topDown.x - mainScreenTopDown.x,
            mainScreenTopDown.MaxY() - (topDown.y + topDown.height), topDown.width, topDown.height};
}

Rect TopDownRectFromScreen(const Rect& screen, const Rect& mainScreenTopDown) {
    return {screen.x + mainScreenTopDown.x, mainScreenTopDown.MaxY() - screen.MaxY(), screen.width,
            screen.height};
}

// ---- Labels ----

void Label::Touch() {
    if (parent_ != nullptr) {
        parent_->SetNeedsDisplayInRect(Frame());
    }
}

void Label::StoreFrame(const Rect& frame) {
    x_ = static_cast<float>(frame.x);
    y_ = static_cast<float>(frame.y);
    width_ = static_cast<float>(frame.width);
    height_ = static_cast<float>(frame.height);
}

void Label::SetText(std::string_view text) {
    if (text == text_) {
        return;
    }
    text_.assign(text);
    if (!hidden_) {
        Touch();
    }
}

Color Label::TextColor() const {
    return g_colors.At(textColor_);
}

void Label::SetTextColor(const Color& color) {
    if (g_colors.At(textColor_) == color) {
        return;  // the common case of a refresh, without a look-up
    }
    const std::uint16_t index = g_colors.IndexOf(color);
    if (index == textColor_) {
        return;
    }
    textColor_ = index;
    if (!hidden_) {
        Touch();
    }
}

Color Label::BackgroundColor() const {
    return g_colors.At(backgroundColor_);
}

void Label::SetBackgroundColor(const Color& color) {
    if (g_colors.At(backgroundColor_) == color) {
        return;
    }
    const std::uint16_t index = g_colors.IndexOf(color);
    if (index == backgroundColor_) {
        return;
    }
    backgroundColor_ = index;
    if (!hidden_ && drawsBackground_) {
        Touch();
    }
}

void Label::SetDrawsBackground(bool draws) {
    if (draws == drawsBackground_) {
        return;
    }
    drawsBackground_ = draws;
    if (!hidden_ && BackgroundColor().IsVisible()) {
        Touch();
    }
}

void Label::SetBezeled(bool bezeled) {
    if (bezeled == bezeled_) {
        return;
    }
    bezeled_ = bezeled;
    if (!hidden_) {
        Touch();
    }
}

void Label::SetEditable(bool editable) {
    editable_ = editable;
}

void Label::SetFontSize(double points) {
    if (static_cast<float>(points) == fontSize_) {
        return;
    }
    fontSize_ = static_cast<float>(points);
    if (!hidden_) {
        Touch();
    }
}

void Label::SetBold(bool bold) {
    if (bold == bold_) {
        return;
    }
    bold_ = bold;
    if (!hidden_) {
        Touch();
    }
}

void Label::SetAlignment(TextAlignment alignment) {
    if (alignment == alignment_) {
        return;
    }
    alignment_ = alignment;
    if (!hidden_) {
        Touch();
    }
}

void Label::SetFrame(const Rect& frame) {
    const float oldY = y_;
    const Rect old = Frame();
    StoreFrame(frame);
    if (Frame() == old) {
        return;
    }
    if (parent_ == nullptr) {
        return;
    }
    if (!hidden_) {
        parent_->SetNeedsDisplayInRect(old);
        Touch();
    }
    if (y_ != oldY) {
        parent_->labelsSorted_ = false;
    }
    parent_->maxLabelHeight_ = std::max(parent_->maxLabelHeight_, Frame().height);
}

void Label::SetHidden(bool hidden) {
    if (hidden == hidden_) {
        return;
    }
    hidden_ = hidden;
    Touch();
}

namespace {

// The tips of the labels that have one.
std::unordered_map<const Label*, std::string>& ToolTips() {
    static std::unordered_map<const Label*, std::string> tips;
    return tips;
}

}  // namespace

Label::~Label() {
    if (hasToolTip_) {
        ToolTips().erase(this);
    }
}

const std::string& Label::ToolTip() const {
    static const std::string none;
    return hasToolTip_ ? ToolTips().at(this) : none;
}

void Label::SetToolTip(std::string_view tip) {
    if (tip.empty()) {
        if (hasToolTip_) {
            ToolTips().erase(this);
        }
        hasToolTip_ = false;
        return;
    }
    ToolTips()[this] = std::string(tip);
    hasToolTip_ = true;
}

void Label::RemoveFromParent() {
    if (parent_ != nullptr) {
        parent_->RemoveLabel(this);
    }
}

// ---- Views ----

View::~View() {
    // Children first, so that each takes its own on-screen peer down before ours goes.
    subviews_.clear();
    labels_.clear();
    peer_.reset();
}

void View::SetFrame(const Rect& frame) {
    if (frame == frame_) {
        return;
    }
    const Rect old = frame_;
    frame_ = frame;
    if (old.width != frame.width || old.height != frame.height) {
        for (auto& subview : subviews_) {
            subview->ResizeWithOldSuperviewSize(old.width, old.height);
        }
        if (auto* scroll = dynamic_cast<ScrollView*>(this)) {
            scroll->ClampScroll();
        }
        // Bottom-up coordinates: a height change moves everything drawn on screen.
        SetNeedsDisplay();
    }
    if (auto* scroll = dynamic_cast<ScrollView*>(superview_);
        scroll != nullptr && scroll->DocumentView() == this) {
        scroll->ClampScroll();
    }
    Notify(detail::Change::kFrame);
}

void View::ResizeWithOldSuperviewSize(double oldWidth, double oldHeight) {
    if (superview_ == nullptr || autoresizingMask_ == kNotSizable) {
        return;
    }
    Rect f = frame_;
    const unsigned m = autoresizingMask_;
    Autoresize(superview_->frame_.width - oldWidth, (m & kMinXMargin) != 0,
               (m & kWidthSizable) != 0, (m & kMaxXMargin) != 0, &f.x, &f.width);
    Autoresize(superview_->frame_.height - oldHeight, (m & kMinYMargin) != 0,
               (m & kHeightSizable) != 0, (m & kMaxYMargin) != 0, &f.y, &f.height);
    SetFrame(f);
}

void View::SetHidden(bool hidden) {
    if (hidden == hidden_) {
        return;
    }
    hidden_ = hidden;
    Notify(detail::Change::kHidden);
}

void View::SetBackgroundColor(const Color& color) {
    if (color == backgroundColor_) {
        return;
    }
    backgroundColor_ = color;
    SetNeedsDisplay();
    Notify(detail::Change::kBackground);
}

void View::AdoptSubview(std::unique_ptr<View> view) {
    if (!view) {
        return;
    }
    view->superview_ = this;
    subviews_.push_back(std::move(view));
    Notify(detail::Change::kSubviews);
}

void View::RemoveFromSuperview() {
    View* parent = superview_;
    if (parent == nullptr) {
        return;
    }
    if (auto* scroll = dynamic_cast<ScrollView*>(parent);
        scroll != nullptr && scroll->document_.get() == this) {
        scroll->document_.reset();  // destroys this view
        scroll->Notify(detail::Change::kDocument);
        return;
    }
    auto& siblings = parent->subviews_;
    auto it = std::find_if(siblings.begin(), siblings.end(),
                           [this](const std::unique_ptr<View>& v) { return v.get() == this; });
    if (it != siblings.end()) {
        siblings.erase(it);  // destroys this view
    }
}

Window* View::GetWindow() const {
    const View* v = this;
    while (v->superview_ != nullptr) {
        v = v->superview_;
    }
    return v->window_;
}

double View::BottomOf(const Label* label) {
    const double y = label->Frame().y;
    return std::isnan(y) ? 0.0 : y;  // a frame that is not a number sorts as 0
}

std::vector<std::unique_ptr<Label>>::const_iterator View::FirstLabelAbove(double y) const {
    if (!labelsSorted_) {
        std::stable_sort(labels_.begin(), labels_.end(),
                         [](const std::unique_ptr<Label>& a, const std::unique_ptr<Label>& b) {
                             return BottomOf(a.get()) < BottomOf(b.get());
                         });
        for (std::size_t i = 0; i < labels_.size(); ++i) {
            labels_[i]->index_ = static_cast<std::uint32_t>(i);
        }
        labelsSorted_ = true;
    }
    return std::lower_bound(labels_.cbegin(), labels_.cend(), y,
                            [](const std::unique_ptr<Label>& label, double value) {
                                return BottomOf(label.get()) < value;
                            });
}

Label* View::AddLabel(std::unique_ptr<Label> label) {
    if (!label) {
        return nullptr;
    }
    Label* raw = label.get();
    raw->parent_ = this;
    raw->index_ = static_cast<std::uint32_t>(labels_.size());
    if (!labels_.empty() && BottomOf(raw) < BottomOf(labels_.back().get())) {
        labelsSorted_ = false;
    }
    labels_.push_back(std::move(label));
    maxLabelHeight_ = std::max(maxLabelHeight_, raw->Frame().height);
    if (!raw->hidden_) {
        raw->Touch();
    }
    return raw;
}

void View::RemoveLabel(Label* label) {
    if (label == nullptr || label->parent_ != this || label->index_ >= labels_.size() ||
        labels_[label->index_].get() != label) {
        return;
    }
    if (!label->hidden_) {
        label->Touch();
    }
    const std::size_t index = label->index_;
    if (index + 1 != labels_.size()) {
        labelsSorted_ = false;                       // the last label takes its place
        labels_[index] = std::move(labels_.back());  // destroys the label
        labels_[index]->index_ = static_cast<std::uint32_t>(index);
    }
    labels_.pop_back();
}

std::vector<Label*> View::LabelsIn(const Rect& r) const {
    std::vector<Label*> found;
    ForEachLabelIn(r, [&found](Label& label) { found.push_back(&label); });
    return found;
}

std::vector<Rect> View::TakeDirtyRects() {
    std::vector<Rect> taken;
    taken.swap(dirty_);
    return taken;
}

void View::SetNeedsDisplayInRect(const Rect& r) {
    const Rect clipped = r.Intersection(Bounds());
    if (clipped.IsEmpty()) {
        return;
    }
    const bool wasClean = dirty_.empty();
    if (!wasClean) {
        const Rect& last = dirty_.back();
        if (last.Union(clipped) == last) {
            return;  // already covered
        }
    }
    if (dirty_.size() >= kMaxDirtyRects) {
        Rect all = clipped;
        for (const Rect& d : dirty_) {
            all = all.Union(d);
        }
        dirty_.assign(1, all);
    } else {
        dirty_.push_back(clipped);
    }
    if (wasClean) {
        Notify(detail::Change::kDisplay);
    }
}

// ---- Scroll views ----

ScrollView::~ScrollView() {
    document_.reset();
}

void ScrollView::AdoptDocument(std::unique_ptr<View> view) {
    document_ = std::move(view);
    if (document_) {
        document_->superview_ = this;
    }
    scroll_ = {};
    ClampScroll();
    Notify(detail::Change::kDocument);
}

void ScrollView::ClampScroll() {
    const double documentHeight = document_ ? document_->Frame().height : 0;
    const double maxY = std::max(0.0, documentHeight - VisibleHeight());
    const Point clamped{0, std::clamp(scroll_.y, 0.0, maxY)};
    if (clamped == scroll_) {
        return;
    }
    scroll_ = clamped;
    Notify(detail::Change::kScroll);
}

void ScrollView::ScrollToPoint(const Point& p) {
    const double documentHeight = document_ ? document_->Frame().height : 0;
    const double maxY = std::max(0.0, documentHeight - VisibleHeight());
    const Point clamped{0, std::isnan(p.y) ? 0.0 : std::clamp(p.y, 0.0, maxY)};
    if (clamped == scroll_) {
        return;
    }
    scroll_ = clamped;
    Notify(detail::Change::kScroll);
}

Rect ScrollView::DocumentVisibleRect() const {
    const double documentHeight = document_ ? document_->Frame().height : 0;
    const double width = document_ ? std::min(document_->Frame().width, Frame().width) : 0;
    return {0, scroll_.y, width, std::min(documentHeight, VisibleHeight())};
}

void ScrollView::SetHasVerticalScroller(bool has) {
    if (has == hasVerticalScroller_) {
        return;
    }
    hasVerticalScroller_ = has;
    Notify(detail::Change::kScroll);
}

// ---- Menus ----

MenuItem::MenuItem(std::string title, std::function<void()> action, std::string keyEquivalent)
    : title_(std::move(title)),
      keyEquivalent_(std::move(keyEquivalent)),
      action_(std::move(action)) {}

MenuItem::~MenuItem() {
    submenu_.reset();
    peer_.reset();
}

void MenuItem::Notify(detail::Change what) {
    if (peer_) {
        peer_->Changed(what);
    }
}

void MenuItem::SetTitle(std::string_view title) {
    if (title == title_) {
        return;
    }
    title_.assign(title);
    Notify(detail::Change::kTitle);
}

void MenuItem::SetState(int state) {
    if (state == state_ && checkable_) {
        return;
    }
    state_ = state;
    checkable_ = true;
    Notify(detail::Change::kState);
}

void MenuItem::SetCheckable(bool checkable) {
    if (checkable == checkable_) {
        return;
    }
    checkable_ = checkable;
    Notify(detail::Change::kState);
}

void MenuItem::SetHidden(bool hidden) {
    if (hidden == hidden_) {
        return;
    }
    hidden_ = hidden;
    Notify(detail::Change::kHidden);
}

void MenuItem::SetEnabled(bool enabled) {
    if (enabled == enabled_) {
        return;
    }
    enabled_ = enabled;
    Notify(detail::Change::kState);
}

void MenuItem::SetKeyEquivalent(std::string_view key) {
    if (key == keyEquivalent_) {
        return;
    }
    keyEquivalent_.assign(key);
    Notify(detail::Change::kState);
}

void MenuItem::SetAction(std::function<void()> action) {
    action_ = std::move(action);
}

void MenuItem::Trigger() {
    if (!enabled_ || hidden_ || separator_ || !action_) {
        return;
    }
    // A copy, so that an action may replace itself or destroy the item.
    auto action = action_;
    action();
}

Menu::~Menu() {
    items_.clear();
    peer_.reset();
}

MenuItem* Menu::Append(std::unique_ptr<MenuItem> item) {
    MenuItem* raw = item.get();
    raw->parent_ = this;
    items_.push_back(std::move(item));
    if (peer_) {
        peer_->Changed(detail::Change::kItems);
    }
    return raw;
}

void Menu::RemoveAllItems() {
    items_.clear();
}

MenuItem* Menu::AddItem(std::string title, std::function<void()> action,
                        std::string keyEquivalent) {
    return Append(
        std::make_unique<MenuItem>(std::move(title), std::move(action), std::move(keyEquivalent)));
}

MenuItem* Menu::AddSeparator() {
    auto item = std::make_unique<MenuItem>();
    item->separator_ = true;
    return Append(std::move(item));
}

MenuItem* Menu::AddSubmenu(std::string title) {
    auto item = std::make_unique<MenuItem>(title, nullptr);
    item->submenu_ = std::make_unique<Menu>(std::move(title));
    item->submenu_->parentItem_ = item.get();
    return Append(std::move(item));
}

MenuItem* Menu::FindItem(std::string_view title) const {
    for (const auto& item : items_) {
        if (!item->separator_ && item->title_ == title) {
            return item.get();
        }
        if (item->submenu_) {
            if (MenuItem* found = item->submenu_->FindItem(title)) {
                return found;
            }
        }
    }
    return nullptr;
}

MenuItem* Menu::FindItemByKey(std::string_view key) const {
    for (const auto& item : items_) {
        if (!key.empty() && item->keyEquivalent_ == key) {
            return item.get();
        }
        if (item->submenu_) {
            if (MenuItem* found = item->submenu_->FindItemByKey(key)) {
                return found;
            }
        }
    }
    return nullptr;
}

// ---- Window ----

Window::Window(const Rect& frame)
    : frame_(frame),
      content_(std::make_unique<View>(Rect{0, 0, frame.width, frame.height - kTitleBarHeight})),
      menuBar_(std::make_unique<Menu>()) {
    content_->window_ = this;
    content_->SetAutoresizingMask(kWidthSizable | kHeightSizable);
    detail::Backend::Windows().push_back(this);
}

Window::~Window() {
    auto& windows = detail::Backend::Windows();
    windows.erase(std::remove(windows.begin(), windows.end(), this), windows.end());
    // The views and menus take their peers down before the window's own goes.
    content_.reset();
    menuBar_.reset();
    peer_.reset();
}

void Window::Notify(detail::Change what) {
    if (peer_) {
        peer_->Changed(what);
    }
}

void Window::SetFrame(const Rect& frame, bool display) {
    if (frame != frame_) {
        frame_ = frame;
        content_->SetFrame({0, 0, frame.width, frame.height - StripHeight()});
        Notify(detail::Change::kFrame);
    }
    if (display) {
        Notify(detail::Change::kDisplay);
    }
}

void Window::FrameChangedOnScreen(const Rect& frame) {
    frame_ = frame;
    content_->SetFrame({0, 0, frame.width, frame.height - StripHeight()});
}

void Window::SetMenuBarHidden(bool hidden) {
    if (hidden == menuBarHidden_) {
        return;
    }
    menuBarHidden_ = hidden;
    Notify(detail::Change::kState);
    content_->SetFrame({0, 0, frame_.width, frame_.height - StripHeight()});
}

void Window::SetTitle(std::string_view title) {
    if (title == title_) {
        return;
    }
    title_.assign(title);
    Notify(detail::Change::kTitle);
}

void Window::SetBackgroundColor(const Color& color) {
    if (color == backgroundColor_) {
        return;
    }
    backgroundColor_ = color;
    Notify(detail::Change::kBackground);
}

void Window::SetAlwaysOnTop(bool onTop) {
    if (onTop == alwaysOnTop_) {
        return;
    }
    alwaysOnTop_ = onTop;
    Notify(detail::Change::kState);
}

void Window::Show() {
    visible_ = true;
    detail::Backend::ShowWindow(*this);
}

void Window::Close() {
    if (!visible_) {
        return;
    }
    visible_ = false;
    Notify(detail::Change::kHidden);
    detail::Backend::WindowClosed(*this);
}

}  // namespace tk
