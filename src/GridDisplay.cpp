// The grid of labels that shows the split file: built for the engine's shape and the display
// flags (CreateScreen), and given its texts and colours from the engine (UpdateScreen).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "AppDelegate.h"
#include "AppDelegateShared.h"
#include "GridCells.h"
#include "SplitsPanel.h"
#include "WrapTime.h"

using shell::ColorOfSign;
using shell::Trunc;

DisplayGridType DisplayGrid;

namespace {

// A note as its tip shows it: the line breaks the file gives back as CR LF become plain ones.
std::string NoteText(std::string note) {
    for (std::size_t at = note.find("\r\n"); at != std::string::npos; at = note.find("\r\n", at)) {
        note.erase(at, 1);
    }
    return note;
}

// A label of the grid: no border, clear background, read-only, the small system font.
std::unique_ptr<tk::Label> MakeGridLabel(const tk::Rect& frame, std::string_view text,
                                         tk::TextAlignment alignment,
                                         std::optional<tk::Color> textColor = std::nullopt) {
    auto label = std::make_unique<tk::Label>(frame);
    label->SetBezeled(false);
    label->SetDrawsBackground(true);
    label->SetBackgroundColor(tk::Color::Clear());
    label->SetEditable(false);
    label->SetFontSize(AppDelegate::kLabelFontSize);
    label->SetAlignment(alignment);
    label->SetText(text);
    if (textColor) {
        label->SetTextColor(*textColor);
    }
    return label;
}

}  // namespace

void PutTimerLabelInGrid(int row, int column, bool mainLabel, tk::Label* label) {
    if (row < 0 || static_cast<std::size_t>(row) >= DisplayGrid.size()) {
        return;
    }
    auto& columns = DisplayGrid[static_cast<std::size_t>(row)];
    if (column < 0 || static_cast<std::size_t>(column) >= columns.size()) {
        return;
    }
    auto& slots = columns[static_cast<std::size_t>(column)];
    if (slots.empty()) {
        return;
    }
    if (mainLabel) {
        slots[0] = label;
    } else if (slots.size() > 1) {
        slots[1] = label;
    }
}

// ---- Grid display construction ----

void AppDelegate::ClearDisplayGrid() {
    for (auto& columns : DisplayGrid) {
        for (auto& slots : columns) {
            for (tk::Label* label : slots) {
                if (label != nullptr) {
                    label->RemoveFromParent();
                }
            }
        }
    }
    DisplayGrid.clear();
}

void AppDelegate::RunChanged() {
    gridRun_.Update(*TimerData);
    splits_->Refresh(*TimerData, gridRun_.Run());
}

std::int64_t AppDelegate::FitWindow(double width, std::int64_t windowHeight) {
    const tk::Rect visible = tk::Screen::MainVisibleFrame();
    tk::Rect frame = window->Frame();
    double windowTop = frame.y + frame.height;
    if (static_cast<double>(windowHeight) > windowTop - visible.y) {
        if (windowTop - visible.y < kInitialHeight || windowTop > visible.MaxY()) {
            windowTop = visible.MaxY();
        }
        windowHeight = std::min(windowHeight, Trunc(windowTop - visible.y));
    }
    frame.y = windowTop - static_cast<double>(windowHeight);
    frame.height = static_cast<double>(windowHeight);
    frame.width = width;
    window->SetFrame(frame, /*display=*/true);
    return windowHeight;
}

void AppDelegate::ShowNoRouteLines(bool shown) {
    for (tk::Label* line : noRouteLines_) {
        line->RemoveFromParent();
    }
    noRouteLines_.clear();
    if (!shown) {
        return;
    }
    const tk::Rect content = ScrollBoxContent->Frame();
    constexpr double kLineHeight = 15;
    double top = content.height - 8;
    for (const char* text : kNoRouteLines) {
        noRouteLines_.push_back(ScrollBoxContent->AddLabel(
            MakeGridLabel({6, top - kLineHeight, content.width - 12, kLineHeight}, text,
                          tk::TextAlignment::kLeft, gridText_)));
        noRouteLines_.back()->SetFontSize(10);
        top -= kLineHeight;
    }
}

void AppDelegate::CreateScreen() {
    RunChanged();
    ClearDisplayGrid();
    ShowNoRouteLines(false);
    if (layout_ == Layout::kSplits) {
        splitsHeight_ = 0;
        FitSplitsWindow(/*keepWidth=*/false);
        return;
    }
    const GridCells cells(*TimerData, gridRun_);
    const unsigned columns = cells.Columns();
    if (columns == 0) {
        ShowNoRouteLines(true);
        return;
    }
    const unsigned rows = cells.Rows();
    const double rowHeight = HideDiffRows ? kRowHeightNoDiffs : kRowHeight;
    const int hideBest = HideBestSplits ? 1 : 0;
    const int hideCurrent = HideCurrentSplits ? 1 : 0;
    const std::int64_t contentWidth =
        (static_cast<std::int64_t>(columns) - hideBest - hideCurrent) *
            static_cast<std::int64_t>(kDataColumnWidth) +
        static_cast<std::int64_t>(kGridLeft + kHeaderColumnWidth);
    const std::int64_t contentHeight =
        static_cast<std::int64_t>(rowHeight) * rows + static_cast<std::int64_t>(kGridBottomSpace);

    // The window fits the grid, keeping its top edge, but never reaches past the screen's
    // visible area: the grid scrolls instead. Too tall for the room below its top edge, it
    // keeps that edge when a few rows still fit below it and moves up to the top of the
    // visible area otherwise, and then takes the room there is. Never narrower than the
    // laid-out window, which holds the menu bar and keeps the counters clear of the status.
    const double strip = window->StripHeight();
    const std::int64_t windowHeight =
        FitWindow(std::max(static_cast<double>(contentWidth), kInitialWidth),
                  Trunc(HeaderPanel->Frame().height + static_cast<double>(contentHeight) + strip));

    tk::Rect document = ScrollBoxContent->Frame();
    document.height = static_cast<double>(contentHeight);
    if (document.width < static_cast<double>(contentWidth)) {
        document.width = static_cast<double>(contentWidth);
    }
    ScrollBoxContent->SetFrame(document);

    const tk::Rect box = ScrollBox->Frame();
    const double top = static_cast<double>(
        Trunc(static_cast<double>(windowHeight) - box.y - box.height - strip - 2));

    DisplayGrid.assign(rows + 1, std::vector<std::array<tk::Label*, 2>>(columns + 1));
    AttemptsPanel->SetHidden(HideAttemptsCounters || (HideBestSplits && HideCurrentSplits));

    const auto columnX = [&](unsigned k) {
        return kGridLeft + kHeaderColumnWidth +
               (static_cast<double>(k) - hideBest) * kDataColumnWidth;
    };
    const auto hidden = [&](unsigned k) {
        return (k == 0 && HideBestSplits) || (k == columns - 1 && HideCurrentSplits);
    };

    tk::Label* description = HeaderPanel->AddLabel(
        MakeGridLabel({kGridLeft, top - kHeaderLabelHeight, kHeaderColumnWidth, kHeaderLabelHeight},
                      TimerData->GetFullFileDesc(), tk::TextAlignment::kLeft, gridText_));
    PutTimerLabelInGrid(0, 0, /*mainLabel=*/true, description);

    for (unsigned k = 0; k < columns; ++k) {
        if (hidden(k)) {
            continue;
        }
        tk::Label* header = HeaderPanel->AddLabel(MakeGridLabel(
            {columnX(k), top - kHeaderLabelHeight, kDataColumnWidth, kHeaderLabelHeight},
            cells.ColumnHeader(k), tk::TextAlignment::kRight, gridText_));
        PutTimerLabelInGrid(0, static_cast<int>(k + 1), /*mainLabel=*/true, header);
    }

    const double height = static_cast<double>(contentHeight);
    for (unsigned i = 0; i < rows; ++i) {
        const double rowTop = height - i * rowHeight;
        tk::Label* header = ScrollBoxContent->AddLabel(
            MakeGridLabel({kGridLeft, rowTop - rowHeight, kHeaderColumnWidth, rowHeight},
                          TimerData->GetFullRowHeader(i), tk::TextAlignment::kLeft));
        PutTimerLabelInGrid(static_cast<int>(i + 1), 0, /*mainLabel=*/true, header);
    }

    for (unsigned r = 1; r <= rows; ++r) {
        const double rowTop = height - (r - 1) * rowHeight;
        for (unsigned c = 1; c <= columns; ++c) {
            if (hidden(c - 1)) {
                continue;
            }
            const double x = columnX(c - 1);
            tk::Label* time = ScrollBoxContent->AddLabel(
                MakeGridLabel({x, rowTop - kCellLabelHeight, kDataColumnWidth, kCellLabelHeight},
                              "---", tk::TextAlignment::kRight));
            PutTimerLabelInGrid(static_cast<int>(r), static_cast<int>(c), /*mainLabel=*/true, time);
            if (!HideDiffRows) {
                tk::Label* diff = ScrollBoxContent->AddLabel(MakeGridLabel(
                    {x, rowTop - 2 * kCellLabelHeight, kDataColumnWidth, kCellLabelHeight}, "",
                    tk::TextAlignment::kRight));
                PutTimerLabelInGrid(static_cast<int>(r), static_cast<int>(c),
                                    /*mainLabel=*/false, diff);
            }
        }
    }
}

void AppDelegate::UpdateResetCountDisplay() {
    char text[16];
    std::snprintf(text, sizeof text, "%d", TimerData->GetSessionAttemptCount());
    SessionAttemptLabel->SetText(text);
    std::snprintf(text, sizeof text, "%d", TimerData->GetTotalAttemptCount());
    TotalAttemptLabel->SetText(text);
}

// ---- Grid display refresh ----

void AppDelegate::UpdateScreen() {
    RunChanged();
    if (layout_ == Layout::kSplits) {
        FitSplitsWindow(/*keepWidth=*/true);
        return;
    }
    const GridCells grid(*TimerData, gridRun_);
    const unsigned columns = grid.Columns();
    if (columns == 0) {
        return;
    }
    const unsigned rows = grid.Rows();
    const unsigned next = grid.Next();
    // A held run shown again, or let go: the grid of its shape.
    if (DisplayGrid.size() != rows + 1 || DisplayGrid.front().size() != columns + 1) {
        CreateScreen();
    }

    for (std::size_t r = 1; r < DisplayGrid.size(); ++r) {
        const auto s = static_cast<unsigned>(r - 1);
        const bool timed = s == next;
        auto& displayColumns = DisplayGrid[r];
        for (std::size_t c = 0; c < displayColumns.size(); ++c) {
            auto& slots = displayColumns[c];
            if (slots.empty() || slots[0] == nullptr) {
                continue;
            }
            tk::Label* main = slots[0];
            tk::Label* diff = slots.size() > 1 ? slots[1] : nullptr;
            const auto d = static_cast<unsigned>(c - 1);
            tk::Color color = timed ? tk::Color::Cyan() : gridText_;
            if (c == 0) {
                main->SetBackgroundColor(tk::Color::Clear());
                main->SetTextColor(color);
                continue;
            }
            const std::int32_t timer = grid.Timer(s, d);
            if (!timed && columns > 1 && c == columns) {
                const std::int32_t delta = WrapSub(timer, grid.Timer(s, d - 1));
                if (delta != 0) {
                    color = ColorOfSign(delta);
                }
            }
            const std::string notes = grid.Notes(s, d);
            const tk::Color background = notes.empty() ? tk::Color::Clear() : kHighlightGrey;
            std::int32_t shown = timer;
            if (c == displayColumns.size() - 2 && HideCurrentSplits) {
                const std::int32_t current = grid.Timer(s, d + 1);
                if (current != 0) {
                    shown = current;
                    color = ColorOfSign(grid.TimerDiff(s, d + 1), gridText_);
                }
            }
            if (shown != 0) {
                main->SetText(LongToTimeString(shown, /*ShowPlus=*/false, /*ShortForm=*/true));
            } else {
                main->SetText("---");
                if (!timed) {
                    color = gridText_;
                }
            }
            main->SetBackgroundColor(background);
            main->SetTextColor(color);
            main->SetToolTip(NoteText(notes));

            if (diff == nullptr) {
                continue;
            }
            const std::int32_t currentTimer = grid.Timer(s, columns - 1);
            if (timer == 0 || currentTimer == 0) {
                diff->SetBackgroundColor(tk::Color::Clear());
                diff->SetText("");
                continue;
            }
            const std::int32_t difference =
                c < columns ? grid.TimerDiff(s, d) : grid.ElapsedDiff(s, d);
            tk::Color diffBackground = tk::Color::Clear();
            if (c == 1) {
                const std::int32_t segment = grid.Elapsed(s, columns - 1);
                const std::int32_t best = grid.Elapsed(s, 0);
                if (segment != 0 && (best == 0 || segment < best)) {
                    diffBackground = kHighlightGrey;
                }
            }
            diff->SetBackgroundColor(diffBackground);
            diff->SetTextColor(ColorOfSign(difference, gridText_));
            diff->SetText(LongToTimeString(difference, /*ShowPlus=*/true, /*ShortForm=*/true));
        }
    }

    // Keep the split being timed in the middle of the visible part of the grid.
    const double contentHeight = ScrollBoxContent->Frame().height;
    const double visibleHeight = ScrollBox->Frame().height;
    const std::int64_t maxScroll = Trunc(contentHeight - visibleHeight);
    if (maxScroll <= 0 || rows == 0) {
        return;
    }
    const double position = (static_cast<double>(next) + 0.5) * contentHeight / rows;
    std::int64_t target = Trunc(position - visibleHeight / 2);
    if (target < 0) {
        target = 0;
    }
    if (target > maxScroll) {
        target = maxScroll;
    }
    ScrollBox->ScrollToPoint({0, static_cast<double>(maxScroll - target)});
    ScrollBox->ReflectScrolledClipView();
}
