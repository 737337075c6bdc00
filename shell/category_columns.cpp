#include "shell/category_columns.h"

#include "browse/result_filter.h"
#include "shell/unit1.h"
#include "ui/gauge_bar.h"
#include "ui/skin_edit.h"
#include "ui/skin_grid.h"
#include "ui/skin_icon_button.h"

namespace lumaro {

namespace {

SkinIconButton::Picture IconFor(bool restricts) {
    return restricts ? SkinIconButton::Picture::Cross : SkinIconButton::Picture::Magnifier;
}

} // namespace

TCategoryColumns::TCategoryColumns(const TForm1& form)
    : columns_{
          {{TCategoryKind::Style, form.suiStringGrid1, form.FlatEdit1, form.Image2, form.GaugeBar1},
           {TCategoryKind::Country, form.suiStringGrid2, form.FlatEdit2, form.Image3, form.GaugeBar2},
           {TCategoryKind::Language, form.suiStringGrid3, form.FlatEdit3, form.Image5, form.GaugeBar3}}} {}

void TCategoryColumns::Build(const TStationCatalogue& catalogue) {
    all_ = BuildCategoryLists(catalogue, UserCollator());
    for (const TCategoryColumn& column : columns_)
        Show(column.Kind, all_.Of(column.Kind));
}

void TCategoryColumns::Show(TCategoryKind kind, ByteList entries) {
    ByteList& shown = shown_.Of(kind);
    shown = std::move(entries);
    const TCategoryColumn& column = Of(kind);
    column.Grid->SetRows(static_cast<int>(shown.size()),
                         [&shown](int row) { return QString::fromStdString(shown[size_t(row)]); });
    const int visible = column.Grid->FullyVisibleRows();
    column.Bar->SetPageSize(visible);
    column.Bar->SetRange(0, static_cast<int>(shown.size()) - visible);
    column.Bar->SetInert(static_cast<int>(shown.size()) <= visible);
    column.Bar->SetPosition(0, false);
}

std::string TCategoryColumns::Choice(TCategoryKind kind) const {
    const ByteList& shown = shown_.Of(kind);
    if (shown.empty()) return std::string(kAllCategories);
    return shown[size_t(Of(kind).Grid->CurrentRow())];
}

void TCategoryColumns::Narrow(TCategoryKind kind, const QString& boxText) {
    Show(kind, NarrowCategoryList(all_.Of(kind), boxText.toStdU16String()));
    Of(kind).Icon->SetPicture(IconFor(!boxText.isEmpty()));
}

void TCategoryColumns::ClearFilter(TCategoryKind kind) {
    // emptying an empty box fires no change, yet the choice must return to "All"
    SkinEdit* box = Of(kind).Box;
    if (box->text().isEmpty())
        Narrow(kind, QString());
    else
        box->clear();
}

void TCategoryColumns::ShowChoiceIcons() {
    for (const TCategoryColumn& column : columns_)
        column.Icon->SetPicture(IconFor(Choice(column.Kind) != kAllCategories));
}

} // namespace lumaro
