// The toolkit: a small widget model of our own (colours, rectangles, text labels, views,
// scroll views, the window, menus, a repeating timer, the main screen
// and the application), drawn on the desktop by a Qt Widgets backend that this header never
// shows. Everything here can be built and inspected without a display: tests walk a view's
// labels and read their texts, colours and frames directly.
//
// Coordinates. A frame is (x, y, width, height) in the coordinates of the parent, origin at
// the parent's bottom-left corner, y growing upward. Window frames are in screen coordinates,
// origin at the bottom-left corner of the main screen, y up, also in points. One point is
// Zoom() device-independent pixels (Zoom.h; 1 until set), and font sizes are in the same points
// (an 8-point font is 8 pixels high at 100 % on a screen without scaling, 12 at 150 %). The
// backend turns these into top-left, y-down pixel rectangles with FlipRect /
// ScreenRectFromTopDown / TopDownRectFromScreen below.
//
// The window's frame includes a 22-point strip at its top, taken by the window's own menu
// bar; the content view fills the rest. A window whose frame is H points high therefore has a
// content view H - 22 points high (H while the menu bar is hidden: StripHeight). The frame is the
// window's client area: the window manager's decorations around it are not known and not included.
//
// Ownership. A window owns its content view and its menu bar; a view owns its subviews and its
// labels (std::unique_ptr); a menu owns its items and an item its submenu. Adding returns a raw,
// non-owning pointer that stays valid until the object is removed or its owner destroyed.
// Removing a label or a view from its parent ends its life.
//
// Repainting. Labels are plain records painted by the view that holds them, not one native
// widget each, so a grid of 20,000 labels builds and refreshes in milliseconds. A setter that
// does not change the value does nothing; one that changes it marks only the label's rectangle
// dirty, and the next repaint draws only the dirty rectangles that are in view.
//
// Everything runs on the main thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tk {

class Label;
class View;
class ScrollView;
class Window;
class Menu;
class MenuItem;

namespace detail {
class Backend;  // the Qt side; the only code that creates peers

// What changed in a model object, told to its on-screen peer (if it has one).
enum class Change {
    kDisplay,     // dirty rectangles are waiting to be repainted
    kFrame,       // frame moved or resized
    kHidden,      // shown or hidden
    kBackground,  // background colour
    kSubviews,    // a subview was added (removed ones take their peer with them)
    kScroll,      // the scroll position of a scroll view
    kDocument,    // the document view of a scroll view was replaced
    kTitle,       // window title, menu item title
    kState,       // menu item check state, enabled, key equivalent or action; window on top
    kItems,       // items of a menu added
};

// The on-screen counterpart of a model object; destroying it removes it from the screen.
class Peer {
  public:
    virtual ~Peer() = default;
    virtual void Changed(Change what) = 0;
};
}  // namespace detail

// ---- Geometry ----

struct Point {
    double x = 0;
    double y = 0;
    bool operator==(const Point&) const = default;
};

struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    double MaxX() const { return x + width; }
    double MaxY() const { return y + height; }
    bool IsEmpty() const { return !(width > 0 && height > 0); }
    // True when the two rectangles share an area (touching edges do not count).
    bool Intersects(const Rect& other) const {
        return x < other.MaxX() && other.x < MaxX() && y < other.MaxY() && other.y < MaxY();
    }
    // The smallest rectangle holding both; an empty rectangle adds nothing.
    Rect Union(const Rect& other) const;
    Rect Intersection(const Rect& other) const;
    bool operator==(const Rect&) const = default;
};

// Turns a rectangle between bottom-up and top-down coordinates inside a container of the given
// height (the same formula both ways): FlipRect({2, 10, 55, 10}, 70) = {2, 50, 55, 10}.
Rect FlipRect(const Rect& r, double containerHeight);

// A top-down desktop rectangle (origin at the desktop's top-left corner, as the windowing
// system gives it) in bottom-up screen coordinates, where mainScreenTopDown is the main
// screen's own top-down geometry: with a main screen {0, 0, 1920, 1080}, the top-down window
// {100, 50, 300, 200} is {100, 830, 300, 200}.
Rect ScreenRectFromTopDown(const Rect& topDown, const Rect& mainScreenTopDown);
// The reverse of ScreenRectFromTopDown.
Rect TopDownRectFromScreen(const Rect& screen, const Rect& mainScreenTopDown);

// ---- Colours ----

// Red, green, blue and alpha, each 0 to 1.
struct Color {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;

    static constexpr Color White() { return {1, 1, 1, 1}; }
    static constexpr Color Black() { return {0, 0, 0, 1}; }
    static constexpr Color DarkGray() { return {1.0 / 3.0, 1.0 / 3.0, 1.0 / 3.0, 1}; }
    static constexpr Color Gray() { return {0.5, 0.5, 0.5, 1}; }
    static constexpr Color LightGray() { return {2.0 / 3.0, 2.0 / 3.0, 2.0 / 3.0, 1}; }
    static constexpr Color Red() { return {1, 0, 0, 1}; }
    static constexpr Color Green() { return {0, 1, 0, 1}; }
    static constexpr Color Cyan() { return {0, 1, 1, 1}; }
    static constexpr Color Clear() { return {0, 0, 0, 0}; }
    // Calibrated RGB, as the highlight grey CalibratedRgb(0.15, 0.15, 0.15).
    static constexpr Color CalibratedRgb(double r, double g, double b, double a = 1) {
        return {r, g, b, a};
    }
    bool IsVisible() const { return alpha > 0; }
    bool operator==(const Color&) const = default;
};

// ---- Text labels ----

enum class TextAlignment : std::uint8_t { kLeft, kRight, kCenter };

// A single line of read-only text in a frame of its parent view. Defaults: empty text, black
// text, white background not drawn, no bezel, not editable, the system font at 13 points,
// left aligned, frame (0, 0, 0, 0), shown. Text is drawn at the top of the frame, two points in
// from each side, and clipped to the frame; text too wide for it shows its beginning whatever
// the alignment. A background is drawn only while DrawsBackground is set and the colour is not
// fully transparent. Label colours come from a table of every colour labels were given: the
// first 65,536 distinct colours are kept exactly, a later one is shown as the nearest colour
// already in the table, and a component that is not a number reads as 0. The frame and the font
// size are kept in single precision: exact for whole and half points up to four million.
class Label {
  public:
    Label() = default;
    explicit Label(const Rect& frame) { StoreFrame(frame); }
    ~Label();
    Label(const Label&) = delete;
    Label& operator=(const Label&) = delete;
    // Labels come from a pool of their own: slabs of 64 kB without the general allocator's
    // header on every label. The memory of destroyed labels is kept for new ones.
    static void* operator new(std::size_t size);
    static void operator delete(void* p, std::size_t size) noexcept;

    const std::string& Text() const { return text_; }  // UTF-8
    void SetText(std::string_view text);
    Color TextColor() const;
    void SetTextColor(const Color& color);
    Color BackgroundColor() const;
    void SetBackgroundColor(const Color& color);
    bool DrawsBackground() const { return drawsBackground_; }
    void SetDrawsBackground(bool draws);
    bool Bezeled() const { return bezeled_; }  // a thin border around the frame
    void SetBezeled(bool bezeled);
    // Recorded only: labels are never edited on screen.
    bool Editable() const { return editable_; }
    void SetEditable(bool editable);
    double FontSize() const { return static_cast<double>(fontSize_); }  // system font points
    void SetFontSize(double points);
    bool Bold() const { return bold_; }
    void SetBold(bool bold);
    TextAlignment Alignment() const { return alignment_; }
    void SetAlignment(TextAlignment alignment);
    Rect Frame() const {
        return {static_cast<double>(x_), static_cast<double>(y_), static_cast<double>(width_),
                static_cast<double>(height_)};
    }
    void SetFrame(const Rect& frame);
    bool Hidden() const { return hidden_; }
    void SetHidden(bool hidden);
    // Shown while the pointer rests on the label (UTF-8, line breaks and TABs kept); "" for
    // none. A label with no tip of its own whose text is cut by its frame shows its whole text
    // instead. Few labels have a tip, so tips are kept beside the labels, not in them.
    const std::string& ToolTip() const;
    void SetToolTip(std::string_view tip);

    // The view that owns the label, or null before it is added.
    View* Parent() const { return parent_; }
    // Removes the label from its view, which destroys it: the label must not be used after
    // this call. Does nothing for a label that has no parent. O(1).
    void RemoveFromParent();

  private:
    friend class View;
    void Touch();  // marks the label's frame dirty in its view
    void StoreFrame(const Rect& frame);

    // A grid holds tens of thousands of labels, so a label is kept small (72 bytes, pooled):
    // its colours are indexes into a table of the colours in use
    // (0 black, 1 white), its frame and font size single precision, its flags bits.
    std::string text_;
    float x_ = 0;
    float y_ = 0;
    float width_ = 0;
    float height_ = 0;
    View* parent_ = nullptr;
    std::uint32_t index_ = 0;  // position in the owning view's label list
    float fontSize_ = 13;
    std::uint16_t textColor_ = 0;        // black
    std::uint16_t backgroundColor_ = 1;  // white
    TextAlignment alignment_ = TextAlignment::kLeft;
    bool drawsBackground_ : 1 = false;
    bool bezeled_ : 1 = false;
    bool editable_ : 1 = false;
    bool bold_ : 1 = false;
    bool hidden_ : 1 = false;
    bool hasToolTip_ : 1 = false;
};

// ---- Views ----

// How a view follows its parent's size changes; combine with |. A flexible part takes the
// change (shared equally when several are flexible); with none, the view keeps its distance to
// the parent's bottom-left corner. A view that must stay under the parent's top edge takes
// kMinYMargin; one that fills the parent takes kWidthSizable | kHeightSizable.
enum Autoresizing : unsigned {
    kNotSizable = 0,
    kMinXMargin = 1,  // left margin
    kWidthSizable = 2,
    kMaxXMargin = 4,  // right margin
    kMinYMargin = 8,  // bottom margin
    kHeightSizable = 16,
    kMaxYMargin = 32,  // top margin
};

// A rectangle of a window that holds labels and subviews and paints them over its background
// (clear by default: the parent shows through).
class View {
  public:
    View() = default;
    explicit View(const Rect& frame) : frame_(frame) {}
    View(const View&) = delete;
    View& operator=(const View&) = delete;
    virtual ~View();

    Rect Frame() const { return frame_; }
    // Moves or resizes the view; a size change resizes the subviews by their autoresizing masks.
    void SetFrame(const Rect& frame);
    Rect Bounds() const { return {0, 0, frame_.width, frame_.height}; }
    bool Hidden() const { return hidden_; }
    void SetHidden(bool hidden);
    Color BackgroundColor() const { return backgroundColor_; }
    void SetBackgroundColor(const Color& color);
    unsigned AutoresizingMask() const { return autoresizingMask_; }
    void SetAutoresizingMask(unsigned mask) { autoresizingMask_ = mask; }

    // ---- Subviews ----
    View* Superview() const { return superview_; }
    // Takes ownership; returns the view, typed as given.
    template <typename T>
    T* AddSubview(std::unique_ptr<T> view) {
        T* raw = view.get();
        AdoptSubview(std::move(view));
        return raw;
    }
    // Removes the view from its superview, which destroys it (and its subviews and labels).
    void RemoveFromSuperview();
    std::size_t SubviewCount() const { return subviews_.size(); }
    View* SubviewAt(std::size_t i) const { return subviews_[i].get(); }
    // The window whose content view this view is in, or null.
    Window* GetWindow() const;

    // ---- Labels ----
    // Takes ownership; returns the label. Its frame is marked dirty.
    Label* AddLabel(std::unique_ptr<Label> label);
    // Removes and destroys the label if this view owns it; O(1). Does nothing otherwise.
    void RemoveLabel(Label* label);
    std::size_t LabelCount() const { return labels_.size(); }
    // Every label, in no particular order (removals and look-ups by place reorder the list).
    Label* LabelAt(std::size_t i) const { return labels_[i].get(); }
    // Calls f(Label&) for every label whose frame shares an area with r, hidden ones included;
    // visits only the labels whose bottom edge lies within r's height (and the tallest
    // label's) of r, not every label of the view. f must not add, move or remove labels.
    template <typename F>
    void ForEachLabelIn(const Rect& r, F&& f) const {
        const auto first = FirstLabelAbove(r.y - maxLabelHeight_);
        for (auto it = first; it != labels_.end() && BottomOf(it->get()) < r.MaxY(); ++it) {
            if ((*it)->Frame().Intersects(r)) {
                f(**it);
            }
        }
    }
    std::vector<Label*> LabelsIn(const Rect& r) const;

    // ---- Repainting ----
    // Dirty rectangles in this view's coordinates, waiting for the next repaint. Many small
    // rectangles are merged into their bounding rectangle, so the list stays short.
    const std::vector<Rect>& DirtyRects() const { return dirty_; }
    bool NeedsDisplay() const { return !dirty_.empty(); }
    std::vector<Rect> TakeDirtyRects();
    void SetNeedsDisplay() { SetNeedsDisplayInRect(Bounds()); }
    void SetNeedsDisplayInRect(const Rect& r);

    static constexpr std::size_t kMaxDirtyRects = 64;

  protected:
    void Notify(detail::Change what) {
        if (peer_) {
            peer_->Changed(what);
        }
    }
    void AdoptSubview(std::unique_ptr<View> view);
    // Called once the view's on-screen widget exists (the window is being shown): a view whose
    // inside is drawn by a widget of its own (WidgetView.h) puts it there.
    virtual void OnScreen() {}

  private:
    friend class Label;
    friend class Window;
    friend class ScrollView;
    friend class detail::Backend;

    // The label list doubles as the index of the labels by the bottom edge of their frames:
    // sorted again when asked after labels were added out of order, moved or removed (a grid
    // is built whole, then only painted).
    static double BottomOf(const Label* label);
    std::vector<std::unique_ptr<Label>>::const_iterator FirstLabelAbove(double y) const;
    void ResizeWithOldSuperviewSize(double oldWidth, double oldHeight);

    Rect frame_;
    bool hidden_ = false;
    Color backgroundColor_ = Color::Clear();
    unsigned autoresizingMask_ = kNotSizable;
    View* superview_ = nullptr;
    Window* window_ = nullptr;  // set on a window's content view only
    std::vector<std::unique_ptr<View>> subviews_;
    mutable std::vector<std::unique_ptr<Label>> labels_;
    mutable bool labelsSorted_ = true;
    double maxLabelHeight_ = 0;  // tallest label ever added (never shrinks)
    std::vector<Rect> dirty_;
    std::unique_ptr<detail::Peer> peer_;
};

// A view that shows part of a taller document view and scrolls it vertically. The document
// keeps its own frame size; when it is shorter than the scroll view it sits at the top.
class ScrollView : public View {
  public:
    ScrollView() = default;
    explicit ScrollView(const Rect& frame) : View(frame) {}
    ~ScrollView() override;

    // Takes ownership of the document view (replacing and destroying any previous one).
    template <typename T>
    T* SetDocumentView(std::unique_ptr<T> view) {
        T* raw = view.get();
        AdoptDocument(std::move(view));
        return raw;
    }
    View* DocumentView() const { return document_.get(); }

    // Scrolls so that the bottom-left corner of the visible area is at p in the document's
    // bottom-up coordinates; y is kept within 0 and the document's height less the visible
    // height (0 when the document fits). Top of the visible area, measured down from the top
    // of the document: DocumentHeight - VisibleHeight - y.
    void ScrollToPoint(const Point& p);
    // Brings the scroll bars in line with the scroll position.
    void ReflectScrolledClipView() { Notify(detail::Change::kScroll); }
    Point ScrollPosition() const { return scroll_; }
    // The visible part of the document, in the document's coordinates.
    Rect DocumentVisibleRect() const;
    double VisibleHeight() const { return Frame().height; }
    // A thin scroller laid over the right edge of the document (it does not narrow it), shown
    // while the document is taller than the scroll view. On by default.
    bool HasVerticalScroller() const { return hasVerticalScroller_; }
    void SetHasVerticalScroller(bool has);

  private:
    friend class View;
    friend class detail::Backend;
    void AdoptDocument(std::unique_ptr<View> view);
    void ClampScroll();

    std::unique_ptr<View> document_;
    Point scroll_;
    bool hasVerticalScroller_ = true;
};

// ---- Menus ----

// One entry of a menu: a command with a title, a check state, an optional key equivalent and
// an action; or a separator; or the entry of a submenu.
class MenuItem {
  public:
    MenuItem() = default;
    MenuItem(std::string title, std::function<void()> action, std::string keyEquivalent = "");
    ~MenuItem();
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    const std::string& Title() const { return title_; }
    void SetTitle(std::string_view title);
    // The check mark: 0 off, 1 on. Setting it, off included, makes the item a check item.
    int State() const { return state_; }
    void SetState(int state);
    // A check item shows its check box (empty while off) from the start, not only once on.
    bool Checkable() const { return checkable_; }
    void SetCheckable(bool checkable);
    bool Hidden() const { return hidden_; }
    void SetHidden(bool hidden);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // Key equivalent in portable key text: "Ctrl+O", "Space", "PgDown", "PgUp", "P",
    // "Backspace", "Ctrl+Q"; several keys for one item separated by ';': "Ctrl++;Ctrl+=".
    // Empty for none. It works while the window has the focus.
    const std::string& KeyEquivalent() const { return keyEquivalent_; }
    void SetKeyEquivalent(std::string_view key);
    void SetAction(std::function<void()> action);
    bool HasAction() const { return static_cast<bool>(action_); }
    bool IsSeparator() const { return separator_; }
    // Runs the action, as a click on the item does; does nothing while the item is disabled,
    // hidden or has no action.
    void Trigger();

    Menu* Submenu() const { return submenu_.get(); }
    Menu* ParentMenu() const { return parent_; }

  private:
    friend class Menu;
    friend class detail::Backend;
    void Notify(detail::Change what);

    std::string title_;
    std::string keyEquivalent_;
    std::function<void()> action_;
    std::unique_ptr<Menu> submenu_;
    Menu* parent_ = nullptr;
    int state_ = 0;
    bool checkable_ = false;
    bool hidden_ = false;
    bool enabled_ = true;
    bool separator_ = false;
    std::unique_ptr<detail::Peer> peer_;
};

// A list of menu items. The menu bar of a window is a Menu whose items each hold a submenu.
class Menu {
  public:
    explicit Menu(std::string title = "") : title_(std::move(title)) {}
    ~Menu();
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    const std::string& Title() const { return title_; }
    // Appends a command: AddItem("Open...", [&] { DoOpen(); }, "Ctrl+O").
    MenuItem* AddItem(std::string title, std::function<void()> action,
                      std::string keyEquivalent = "");
    MenuItem* AddSeparator();
    // Appends an entry holding a new, empty submenu; returns the entry (its Submenu() is the
    // new menu), so the entry can be hidden as a whole.
    MenuItem* AddSubmenu(std::string title);
    // Removes and destroys every item (a menu whose entries follow the open file). Pointers to
    // them must not be used afterwards.
    void RemoveAllItems();
    std::size_t ItemCount() const { return items_.size(); }
    MenuItem* ItemAt(std::size_t i) const { return items_[i].get(); }
    // The first item with that title in this menu or its submenus, or null.
    MenuItem* FindItem(std::string_view title) const;
    // The first item with that key equivalent in this menu or its submenus, or null.
    MenuItem* FindItemByKey(std::string_view key) const;
    MenuItem* ParentItem() const { return parentItem_; }

  private:
    friend class MenuItem;
    friend class detail::Backend;
    MenuItem* Append(std::unique_ptr<MenuItem> item);

    std::string title_;
    std::vector<std::unique_ptr<MenuItem>> items_;
    MenuItem* parentItem_ = nullptr;
    std::unique_ptr<detail::Peer> peer_;
};

// ---- Window ----

class Window {
  public:
    static constexpr double kTitleBarHeight = 22;  // the strip at the top: the menu bar

    // A window with the given frame in screen coordinates (strip included), not yet shown.
    explicit Window(const Rect& frame);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    Rect Frame() const { return frame_; }
    // Moves and resizes the window; the content view follows (0, 0, width, height - 22).
    // With display set, the whole window is redrawn at the next pass of the main loop, even
    // where nothing changed.
    void SetFrame(const Rect& frame, bool display);
    const std::string& Title() const { return title_; }
    void SetTitle(std::string_view title);
    // The colour behind the content and the menu bar; views and labels with a clear
    // background show it.
    Color BackgroundColor() const { return backgroundColor_; }
    void SetBackgroundColor(const Color& color);
    // Kept above other windows, through the window manager (on X11, and on Wayland where the
    // compositor allows it). Off by default.
    bool AlwaysOnTop() const { return alwaysOnTop_; }
    void SetAlwaysOnTop(bool onTop);
    View* ContentView() const { return content_.get(); }
    Menu* MenuBar() const { return menuBar_.get(); }
    // A hidden menu bar takes no strip: the content view fills the whole frame, and a right
    // click on the window opens the menus as a pop-up. The key equivalents work either way.
    // Shown by default.
    bool MenuBarHidden() const { return menuBarHidden_; }
    void SetMenuBarHidden(bool hidden);
    // The height of the strip at the top: kTitleBarHeight, or 0 while the menu bar is hidden.
    double StripHeight() const { return menuBarHidden_ ? 0 : kTitleBarHeight; }

    // Shows the window: at once when the application object exists (inside Application::Run
    // or a test's), otherwise when Run has told the delegate of the launch.
    void Show();
    // Hides the window, as the user's close does; when no shown window is left, the
    // application asks its delegate whether to quit.
    void Close();
    bool IsVisible() const { return visible_; }
    // Asked before the user's close (the close box, the window manager's close key) hides
    // the window; a false answer keeps it open. Close() called by the program is not asked.
    void SetCloseRequestHandler(std::function<bool()> handler) {
        closeRequest_ = std::move(handler);
    }
    bool CloseRequested() const { return !closeRequest_ || closeRequest_(); }

  private:
    friend class View;
    friend class detail::Backend;
    void Notify(detail::Change what);
    void FrameChangedOnScreen(const Rect& frame);  // the user moved or resized it

    Rect frame_;
    std::string title_;
    Color backgroundColor_ = Color::LightGray();
    std::unique_ptr<View> content_;
    std::unique_ptr<Menu> menuBar_;
    bool visible_ = false;
    bool alwaysOnTop_ = false;
    bool menuBarHidden_ = false;
    std::function<bool()> closeRequest_;
    std::unique_ptr<detail::Peer> peer_;
};

// ---- Main screen ----

struct Screen {
    // The main screen's frame, origin (0, 0), and its visible frame (the part not taken by
    // panels and docks), both in screen coordinates, in points at the zoom. Without a display
    // (no QGuiApplication) and no override, a 1920 x 1080 screen with no panels.
    static Rect MainFrame();
    static Rect MainVisibleFrame();
    // The visible frame in device-independent pixels, whatever the zoom.
    static Rect MainVisiblePixels();
    // For tests: answer these (in device-independent pixels) instead of the real screen until
    // ClearOverride.
    static void OverrideMain(const Rect& frame, const Rect& visibleFrame);
    static void ClearOverride();
};

// ---- Repeating timer ----

// Calls its callback every interval seconds from the main loop, on the main thread, until it
// is stopped or destroyed. Ticks are coarse (within about 5% of the interval), which lets the
// system bundle wake-ups; a busy main loop delays a tick rather than doubling it.
class RepeatingTimer {
  public:
    RepeatingTimer(double intervalSeconds, std::function<void()> callback);
    ~RepeatingTimer();
    RepeatingTimer(const RepeatingTimer&) = delete;
    RepeatingTimer& operator=(const RepeatingTimer&) = delete;

    // Creates and starts a timer: RepeatingTimer::Schedule(0.075, [&] { OnUpdateTimer(); }).
    static std::unique_ptr<RepeatingTimer> Schedule(double intervalSeconds,
                                                    std::function<void()> callback);
    // Starts ticking; before the application object exists, from the start of Run.
    void Start();
    void Stop();
    bool IsActive() const { return active_; }
    double Interval() const { return interval_; }
    // Runs the callback once now, as a tick does.
    void Fire();

    struct Impl;

  private:
    double interval_;
    std::function<void()> callback_;
    bool active_ = false;
    std::unique_ptr<Impl> impl_;
};

// ---- After the next paint ----

// Runs its callback once per Post, from the main loop, after the repaints asked for before
// Post have been drawn and handed to the window system: work that must follow a change on
// the screen closely but never hold it up (a save right after a split is shown). Posts made
// before the callback runs are merged into one run. Destroying it drops a pending run.
// Without an application object, a Post does nothing.
class AfterPaint {
  public:
    explicit AfterPaint(std::function<void()> callback);
    ~AfterPaint();
    AfterPaint(const AfterPaint&) = delete;
    AfterPaint& operator=(const AfterPaint&) = delete;

    void Post();
    bool Pending() const { return pending_; }
    // Forgets a pending run.
    void Cancel() { pending_ = false; }

    struct Impl;

  private:
    void Run();

    std::function<void()> callback_;
    bool pending_ = false;
    std::unique_ptr<Impl> impl_;
};

// ---- Application ----

// Told of the application's launch and end, on the main thread.
class ApplicationDelegate {
  public:
    virtual ~ApplicationDelegate() = default;
    // Before launch: build the windows, views and menus here.
    virtual void WillFinishLaunching() {}
    // Launch: the windows exist but are not shown yet; the main loop starts after this.
    virtual void DidFinishLaunching() {}
    // The application is quitting; called once, whatever the way out.
    virtual void WillTerminate() {}
    // Asked when the last shown window has been closed; true quits the application.
    virtual bool ShouldTerminateAfterLastWindowClosed() { return false; }
};

class Application {
  public:
    // Creates the application object (or uses one that exists), tells the delegate
    // WillFinishLaunching and DidFinishLaunching, shows the windows that asked to be shown,
    // runs the main loop and returns its exit code once the application has terminated.
    static int Run(int argc, char** argv, ApplicationDelegate& delegate);
    // Tells the delegate WillTerminate (once in the life of the process) and leaves the main
    // loop, so that Run returns 0. Outside Run only the notification happens.
    static void Terminate();
    static void Quit() { Terminate(); }
    static bool IsRunning();
    static bool HasTerminated();
    static ApplicationDelegate* Delegate();
    // For tests that drive windows without Run; pass null to forget the delegate. Also
    // clears the terminated state.
    static void SetDelegate(ApplicationDelegate* delegate);
};

}  // namespace tk
