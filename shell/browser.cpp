#include "shell/browser.h"

#include "playback/status_display.h"
#include "shell/app_session.h"
#include "shell/main_window_layout.h"
#include "shell/unit1.h"
#include "shell/unit4.h"
#include "shell/window_launcher.h"
#include "ui/gauge_bar.h"
#include "ui/skin_edit.h"
#include "ui/skin_grid.h"
#include "ui/skin_icon_button.h"
#include "ui/skin_label.h"
#include "ui/skin_style.h"
#include "ui/text_fit.h"

#include <QFontMetrics>
#include <QMenu>
#include <QTimer>

#include <algorithm>

namespace lumaro {

TBrowser::TBrowser(TForm1& form, TAppSession& session) : form_(form), session_(session), columns_(form) {}

TBrowseSource TBrowser::Source() const {
    return TBrowseSource{&session_.Catalogue(), &results_, &session_.Favorites(), &session_.Recent()};
}

void TBrowser::FillResults() {
    filter_ = TResultFilter(session_.Catalogue());
    results_.resize(session_.Catalogue().Count());
    for (size_t i = 0; i < results_.size(); ++i)
        results_[i] = static_cast<int>(i);
    RefreshResultsView();
}

void TBrowser::SetResultsBar(int count) {
    GaugeBar* bar = form_.GaugeBar4;
    bar->SetPageSize(form_.suiStringGrid4->FullyVisibleRows());
    bar->SetRange(0, count - form_.suiStringGrid4->FullyVisibleRows());
}

void TBrowser::BuildCategoryLists() {
    // every list is cut to whole rows; the results and the bars follow the style list
    const int rows = kListDesignHeight / SkinGrid::kRowHeight;
    const int height = SkinGrid::kRowHeight * rows + 5;
    for (SkinGrid* grid :
         {form_.suiStringGrid1, form_.suiStringGrid2, form_.suiStringGrid3, form_.suiStringGrid4})
        grid->resize(grid->width(), height);
    for (GaugeBar* bar : {form_.GaugeBar1, form_.GaugeBar2, form_.GaugeBar3, form_.GaugeBar4})
        bar->resize(bar->width(), height + form_.FlatEdit1->height() - 1);
    columns_.Build(session_.Catalogue());
    SetResultsBar(static_cast<int>(results_.size()));
}

// ---- category lists, filter and search ----

void TBrowser::NarrowCategoryList(TCategoryKind kind, const QString& boxText) {
    columns_.Narrow(kind, boxText);
}

void TBrowser::ClearCategory(TCategoryKind kind) {
    columns_.ClearFilter(kind);
    ChooseCategories();
}

void TBrowser::ChooseCategories() {
    RunSearch();
    columns_.ShowChoiceIcons();
}

void TBrowser::TntEdit2Change() {
    form_.Image6->SetPicture(form_.TntEdit2->text().isEmpty() ? SkinIconButton::Picture::Magnifier
                                                              : SkinIconButton::Picture::Cross);
    RunSearch();
}

void TBrowser::Image6Click() {
    form_.TntEdit2->clear();
    form_.TntEdit2->setFocus();
}

void TBrowser::RunSearch() {
    const std::u16string text = form_.TntEdit2->text().toStdU16String();
    nonAscii_ = HasNonAscii(text);
    results_ = filter_.BuildResultList(
        columns_.Choice(TCategoryKind::Style), columns_.Choice(TCategoryKind::Country),
        columns_.Choice(TCategoryKind::Language), PrepareSearchText(text), nonAscii_);
    SetView(TBrowseView::Catalogue);
    RefreshResultsView();
}

// ---- results view ----

void TBrowser::SetView(TBrowseView view) {
    view_ = view;
    form_.Label1->SetTextColor(view == TBrowseView::Favorites ? skin::kRailActiveText : skin::kRailText);
    form_.Label17->SetTextColor(view == TBrowseView::Recent ? skin::kRailActiveText : skin::kRailText);
    form_.Label1->SetShadow(view == TBrowseView::Favorites);
    form_.Label17->SetShadow(view == TBrowseView::Recent);
}

void TBrowser::RefreshResultsView() {
    const TBrowseView view = view_;
    const size_t count = Source().Count(view);
    form_.Label24->setText(QString::fromStdU16String(CountLabelText(count)));
    form_.suiStringGrid4->SetRows(
        static_cast<int>(count),
        [this, view](int row) {
            const std::u16string* line = Source().Line(view, size_t(row));
            return line ? QString::fromStdU16String(std::u16string(RowName(*line))) : QString();
        },
        [this, view](int row) {
            const std::u16string* line = Source().Line(view, size_t(row));
            if (!line) return false;
            const std::u16string& playing = session_.PlayerState().StationLine;
            return !playing.empty() && *line == playing;
        });
    form_.GaugeBar4->show();
    SetResultsBar(static_cast<int>(count));
    form_.GaugeBar4->SetPosition(0, false);
}

void TBrowser::RecentChanged() {
    if (view_ == TBrowseView::Recent) RefreshResultsView();
}

void TBrowser::suiStringGrid4Click() {
    const std::u16string* line = Source().Line(view_, size_t(form_.suiStringGrid4->CurrentRow()));
    if (!line) return;
    SplitStationLine(*line, selected_);
    form_.TntLabel1->setText(QString::fromStdU16String(StationSummary(selected_)));
}

void TBrowser::suiStringGrid4DblClick() {
    const std::u16string* line = Source().Line(view_, size_t(form_.suiStringGrid4->CurrentRow()));
    if (!line) {
        session_.Player().ChooseStation(std::u16string());
        form_.suiStringGrid4->update();
        return;
    }
    session_.Player().PlayStation(std::u16string(*line)); // a copy: starting changes Recent
    form_.suiStringGrid4->repaint();
}

void TBrowser::PlayBeside(int step) {
    SkinGrid& grid = *form_.suiStringGrid4;
    const std::u16string& playing = session_.PlayerState().StationLine;
    const TBrowseSource source = Source();
    const int count = static_cast<int>(source.Count(view_));
    auto rowOf = [&](const std::u16string& line) {
        for (int row = 0; row < count && !line.empty(); ++row)
            if (*source.Line(view_, size_t(row)) == line) return row;
        return -1;
    };
    int target = -1;
    if (view_ != TBrowseView::Recent) {
        const int row = rowOf(playing);
        target = row < 0 ? grid.CurrentRow() : row + step;
    } else {
        std::vector<std::u16string> lines;
        for (int row = 0; row < count; ++row)
            lines.push_back(*source.Line(view_, size_t(row)));
        if (!std::is_permutation(lines.begin(), lines.end(), steppingOrder_.begin(), steppingOrder_.end()))
            steppingOrder_ = lines;
        const auto at = std::find(steppingOrder_.begin(), steppingOrder_.end(), playing);
        if (at == steppingOrder_.end()) {
            target = grid.CurrentRow();
        } else {
            const auto next = (at - steppingOrder_.begin()) + step;
            if (next < 0 || next >= std::ssize(steppingOrder_)) return;
            target = rowOf(steppingOrder_[size_t(next)]);
        }
    }
    if (target < 0 || target >= count) return; // no row beyond the ends
    grid.SetCurrentRow(target, true);
    suiStringGrid4DblClick();
}

void TBrowser::suiStringGrid4MouseDown(Qt::MouseButton button, QPoint pos) {
    suiStringGrid4Click();
    if (button == Qt::RightButton) {
        const int row = form_.suiStringGrid4->RowAt(pos);
        if (row >= 0) form_.suiStringGrid4->SetCurrentRow(row, true);
    }
}

void TBrowser::suiStringGrid4MouseUp(Qt::MouseButton button, QPoint pos) {
    if (button != Qt::RightButton || form_.suiStringGrid4->RowAt(pos) < 0) return;
    QMenu* menu = view_ == TBrowseView::Favorites ? form_.PopupMenu2
                  : view_ == TBrowseView::Recent  ? form_.PopupMenu3
                                                  : form_.PopupMenu4;
    menu->popup(form_.suiStringGrid4->mapToGlobal(pos));
}

void TBrowser::PressViewLabel(TBrowseView view) {
    if (ToggleBrowseView(view_, view) == view) {
        SetView(view);
        RefreshResultsView();
    } else {
        RunSearch();
    }
}

void TBrowser::GaugeBar1Change(GaugeBar* bar) {
    if (bar->IsInert()) return;
    SkinGrid* grid = form_.suiStringGrid4;
    for (const TCategoryColumn& column : columns_.All())
        if (column.Bar == bar) grid = column.Grid;
    grid->SetTopRow(bar->Position());
}

// ---- the context menus' entries ----

void TBrowser::AddCurrentStationToFavorites() {
    AddToFavorites(session_.Favorites(), session_.PlayerState().StationLine, *this);
}

void TBrowser::AddSelectedToFavorites() {
    if (const std::u16string* line =
            Source().Line(TBrowseView::Catalogue, size_t(form_.suiStringGrid4->CurrentRow())))
        AddToFavorites(session_.Favorites(), *line, *this);
}

void TBrowser::RemoveSelectedEntry(TPersonalList& list) {
    lumaro::RemoveSelectedEntry(list, form_.suiStringGrid4->CurrentRow(), *this);
}

void TBrowser::EmptyPersonalList(TPersonalList& list) {
    lumaro::EmptyPersonalList(list, *this);
}

void TBrowser::ShowStationInfo() {
    session_.StationInfo().ShowStationInfo(selected_);
}

void TBrowser::OpenInNewWindow(TBrowseView view) {
    const int row = form_.suiStringGrid4->CurrentRow();
    const int left = form_.x(), top = form_.y();
    switch (view) {
    case TBrowseView::Catalogue:
        if (row >= 0 && size_t(row) < results_.size())
            LaunchCopy(session_.Folders().Executable, 's', results_[size_t(row)], left, top);
        break;
    case TBrowseView::Favorites:
        if (size_t(row) < session_.Favorites().Count())
            LaunchCopy(session_.Folders().Executable, 'f', row, left, top);
        break;
    case TBrowseView::Recent:
        if (size_t(row) < session_.Recent().Count())
            LaunchCopy(session_.Folders().Executable, 'r', row, left, top);
        break;
    }
}

// ---- the information line ----

void TBrowser::TntLabel1MouseEnter() {
    // measured as the 8-bit text the line would show
    SkinLabel* line = form_.TntLabel1;
    // (no more of it than can show: a long name must not slow the pointer down)
    const QString shown =
        QString::fromStdU16String(WideFromAnsi(AnsiFromWide(skin::ShownText(line->text()).toStdU16String())));
    if (QFontMetrics(line->font()).horizontalAdvance(shown) > line->width()) form_.Timer2->start();
}

void TBrowser::TntLabel1MouseLeave() {
    form_.Timer2->stop();
}

void TBrowser::Timer2Timer() {
    SkinLabel* line = form_.TntLabel1;
    line->setText(QString::fromStdU16String(RotateInformationText(line->text().toStdU16String())));
}

const TStationRecord& TBrowser::PutStartStation(const std::u16string& line) {
    // a newly chosen station: attempt 0, retrying on, not from the clipboard
    TPlaybackController& player = session_.Player();
    player.ChooseStartStation(line);
    selected_ = player.State().StationFields;
    if (player.AutoPlay()) {
        form_.TntLabel1->setText(QString::fromStdU16String(StationSummary(selected_)));
        player.suiImageButton8Click(); // as if the user pressed Play/Stop
    }
    return selected_;
}

} // namespace lumaro
