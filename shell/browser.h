#pragma once
// The station browser of the main window: the category columns, the search
// box, the results grid with its views (catalogue, Favorites, Recent) and
// count label, the three context menus' entries, the information line with
// its scrolling, and the station a double click starts.

#include "browse/result_filter.h"
#include "browse/results_view.h"
#include "data/personal_list_actions.h"
#include "playback/playback_ports.h"
#include "shell/category_columns.h"

#include <QPoint>

class QString;

namespace lumaro {

class GaugeBar;
class TAppSession;
class TForm1;

// The record of the row in focus, read by Station Info.
using TSelectedStation = TStationRecord;

class TBrowser : public TRecentView, public TPersonalListView {
public:
    // form's controls exist by now; session's layers are reached only once
    // the window runs.
    TBrowser(TForm1& form, TAppSession& session);

    // Start-up: the filter over the catalogue, then every station in the
    // result list, shown.
    void FillResults();
    // The three category lists built and every list cut to whole rows.
    void BuildCategoryLists();

    // Category columns and search.
    void NarrowCategoryList(TCategoryKind kind, const QString& boxText);
    // Image2Click, Image3Click, Image5Click: the narrowing and the choice of
    // that category undone.
    void ClearCategory(TCategoryKind kind);
    // suiStringGrid1DblClick: the current rows become the category choices.
    void ChooseCategories();
    void TntEdit2Change();
    void Image6Click();

    // Results view.
    void RefreshResultsView() override;
    void suiStringGrid4Click();
    void suiStringGrid4DblClick();
    void suiStringGrid4MouseDown(Qt::MouseButton button, QPoint pos);
    void suiStringGrid4MouseUp(Qt::MouseButton button, QPoint pos);
    // "Favorites" and "Recent": that view, or back to the catalogue when it shows.
    void PressViewLabel(TBrowseView view);
    // Plays the row after (step 1) or before (-1) the playing one; with none
    // playing there, the selected row. Recent moves each station started to
    // its top, so there the steps follow the order the list had when stepping
    // began, for as long as it holds the same stations.
    void PlayBeside(int step);
    // A scroll bar moved: its list follows.
    void GaugeBar1Change(GaugeBar* bar);

    // Entries of the context menus and the "Add to Fav." switch.
    void AddCurrentStationToFavorites();
    void AddSelectedToFavorites();
    void RemoveSelectedEntry(TPersonalList& list);
    void EmptyPersonalList(TPersonalList& list);
    void ShowStationInfo();
    // "Open in new window" for the selected row of that view.
    void OpenInNewWindow(TBrowseView view);

    // The information line: scrolls while the pointer is on a line too wide.
    void TntLabel1MouseEnter();
    void TntLabel1MouseLeave();
    void Timer2Timer();

    // The start station made the current one and the selection; with
    // auto-play on, its summary shown and Play/Stop pressed. Its record.
    const TStationRecord& PutStartStation(const std::u16string& line);

    TBrowseView View() const { return view_; }
    bool NonAsciiSearch() const { return nonAscii_; }
    const TResultList& ResultList() const { return results_; }
    const TSelectedStation& SelectedStation() const { return selected_; }
    const TCategoryColumns& Columns() const { return columns_; }

    // TPersonalListView
    bool ShowsFavorites() const override { return view_ == TBrowseView::Favorites; }
    void SelectionAction() override { suiStringGrid4Click(); }
    // TRecentView: a Recent view shows the list anew.
    void RecentChanged() override;

private:
    TBrowseSource Source() const;
    void SetView(TBrowseView view);
    // Rebuilds the result list from the three current rows and the search box.
    void RunSearch();
    void SetResultsBar(int count);

    TForm1& form_;
    TAppSession& session_;
    TCategoryColumns columns_;
    TResultFilter filter_;
    TResultList results_;
    TBrowseView view_ = TBrowseView::Catalogue;
    bool nonAscii_ = false;
    TSelectedStation selected_;
    std::vector<std::u16string> steppingOrder_; // Recent's lines when stepping began
};

} // namespace lumaro
