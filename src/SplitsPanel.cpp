#include "SplitsPanel.h"

#include <QApplication>
#include <QMenu>
#include <QPoint>
#include <algorithm>
#include <cmath>

#include "ColorText.h"
#include "QuorvelEngine.h"
#include "SplitsView.h"
#include "WidgetView.h"

namespace {

// A setting of a list of them by its key, for the text readers of the Splits view.
template <std::size_t N>
std::optional<std::string> Lookup(const Settings& settings,
                                  const std::array<const Setting<std::string>*, N>& keys,
                                  const std::string& key) {
    for (const Setting<std::string>* setting : keys) {
        if (key == setting->Key) {
            return settings.Find(*setting);
        }
    }
    return std::nullopt;
}

template <std::size_t N>
void Put(Settings& settings, const std::array<const Setting<std::string>*, N>& keys,
         const std::string& key, const std::string& text) {
    for (const Setting<std::string>* setting : keys) {
        if (key == setting->Key) {
            settings.Put(*setting, text);
        }
    }
}

bool SameChoices(const std::vector<ComparisonChoice>& a, const std::vector<ComparisonChoice>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const ComparisonChoice& x, const ComparisonChoice& y) {
                          return x.id == y.id && x.title == y.title && x.available == y.available;
                      });
}

}  // namespace

SplitsPanel::SplitsPanel(tk::WidgetView* host, tk::Menu* compareMenu)
    : host_(host), menu_(compareMenu) {
    // The widget needs the application object of a window system.
    if (host_ == nullptr || qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return;
    }
    auto* view = new SplitsView;
    view->SetComparisonClickHandler([this](const QPoint& at) { PopUpChoices(at.x(), at.y()); });
    host_->SetWidget(view);
}

SplitsPanel::~SplitsPanel() = default;

SplitsView* SplitsPanel::View() const {
    return host_ != nullptr ? static_cast<SplitsView*>(host_->Widget()) : nullptr;
}

void SplitsPanel::Read(Settings& settings, const tk::Color& windowBackground) {
    settings_ = &settings;
    choice_ = SplitsSettingsFromText(
        [&](const std::string& key) { return Lookup(settings, kSplitsSettings, key); });
    look_ = AppearanceFromSettings([&](const std::string& key) -> std::optional<std::string> {
        if (key == kAppearanceBackground.Key && !settings.Find(kAppearanceBackground)) {
            return tk::ColorToHex(windowBackground);
        }
        return Lookup(settings, kAppearanceSettings, key);
    });
    if (SplitsView* view = View()) {
        view->SetOptions(choice_.options);
        view->SetComparison(choice_.comparison);
        view->SetAppearance(look_);
    }
}

void SplitsPanel::SetPlaceholderText(const std::string& text) {
    if (SplitsView* view = View()) {
        view->SetPlaceholderText(QString::fromStdString(text));
    }
}

void SplitsPanel::SetZoom(double zoom) {
    zoom_ = zoom;
    if (SplitsView* view = View()) {
        view->SetZoom(zoom);
    }
}

void SplitsPanel::SetHistory(const HistoryComparisons& history) {
    history_ = history;
    if (SplitsView* view = View()) {
        view->SetHistory(history);
    }
}

void SplitsPanel::Refresh(const QuorvelClass& engine, const RunSnapshot& run) {
    if (SplitsView* view = View()) {
        view->Refresh(engine);
    }
    std::vector<ComparisonChoice> choices = ComparisonChoices(run, history_);
    if (!SameChoices(choices, choices_)) {
        choices_ = std::move(choices);
        BuildMenu();
    }
}

void SplitsPanel::Tick(const QuorvelClass& engine) {
    if (SplitsView* view = View()) {
        view->Tick(engine);
    }
}

void SplitsPanel::SetAppearance(const Appearance& look) {
    look_ = look;
    if (SplitsView* view = View()) {
        view->SetAppearance(look);
    }
}

void SplitsPanel::SaveAppearance() {
    if (settings_ == nullptr) {
        return;
    }
    for (const auto& [key, text] : AppearanceToSettings(look_)) {
        Put(*settings_, kAppearanceSettings, key, text);
    }
    settings_->Write();
}

void SplitsPanel::Choose(const ComparisonId& id) {
    choice_.comparison = id;
    if (SplitsView* view = View()) {
        view->SetComparison(id);
    }
    if (settings_ != nullptr) {
        settings_->Set(kSplitsCompareAgainst, ComparisonToText(id));
    }
    BuildMenu();
}

void SplitsPanel::BuildMenu() {
    if (menu_ == nullptr) {
        return;
    }
    menu_->RemoveAllItems();
    // A stored run no longer there is raced as the personal best (ResolveComparison).
    const ComparisonId& chosen = choice_.comparison;
    const bool known = std::any_of(choices_.begin(), choices_.end(),
                                   [&](const ComparisonChoice& c) { return c.id == chosen; });
    for (const ComparisonChoice& choice : choices_) {
        tk::MenuItem* item = menu_->AddItem(choice.title, [this, id = choice.id] { Choose(id); });
        item->SetState(
            (known ? choice.id == chosen : choice.id.kind == ComparisonKind::kPersonalBest) ? 1
                                                                                            : 0);
        item->SetEnabled(choice.available);
    }
}

void SplitsPanel::PopUpChoices(int x, int y) {
    SplitsView* view = View();
    if (view == nullptr) {
        return;
    }
    auto* menu = new QMenu(view);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (const ComparisonChoice& choice : choices_) {
        QAction* action = menu->addAction(QString::fromStdString(choice.title));
        action->setCheckable(true);
        action->setChecked(choice.id == view->Comparison());
        action->setEnabled(choice.available);
        QObject::connect(action, &QAction::triggered, menu, [this, id = choice.id] { Choose(id); });
    }
    menu->popup(QPoint(x, y));
}

std::optional<double> SplitsPanel::PreferredWidth() const {
    const SplitsView* view = View();
    if (view == nullptr) {
        return std::nullopt;
    }
    return view->sizeHint().width() / zoom_;
}

std::optional<double> SplitsPanel::ContentHeight(double width) const {
    const SplitsView* view = View();
    if (view == nullptr) {
        return std::nullopt;
    }
    return view->heightForWidth(static_cast<int>(std::lround(width * zoom_))) / zoom_;
}
