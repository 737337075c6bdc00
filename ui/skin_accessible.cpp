#include "ui/skin_accessible.h"

#include "ui/gauge_bar.h"
#include "ui/level_meter.h"
#include "ui/skin_grid.h"
#include "ui/skin_icon_button.h"
#include "ui/skin_knob.h"
#include "ui/skin_label.h"
#include "ui/skin_switch.h"

#include <QAccessibleWidget>
#include <QPointer>

#include <unordered_map>

namespace lumaro {

namespace {

class AccessibleGrid;

// One row of a grid. Rows are made on demand and live as long as the grid's
// interface; a row past the current row count reads as invalid.
class AccessibleGridRow : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    AccessibleGridRow(SkinGrid* grid, int row) : grid_(grid), row_(row) {}

    bool isValid() const override { return grid_ && row_ < grid_->RowCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return grid_ ? grid_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(grid_); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name && grid_ ? grid_->RowText(row_) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!grid_) return {};
        const QRect r = grid_->RowRect(row_);
        return QRect(grid_->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!grid_) return s;
        s.selectable = true;
        s.focusable = true;
        s.selected = row_ == grid_->CurrentRow();
        s.focused = s.selected && grid_->hasFocus();
        s.active = s.selected;
        const int visible = grid_->FullyVisibleRows();
        s.invisible = row_ < grid_->TopRow() || row_ >= grid_->TopRow() + visible;
        s.offscreen = s.invisible;
        if (grid_->RowStarted(row_)) s.checked = true; // the station that was started
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this) : nullptr;
    }

    bool isSelected() const override { return grid_ && row_ == grid_->CurrentRow(); }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return 0; }
    int rowIndex() const override { return row_; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    QPointer<SkinGrid> grid_;
    int row_;
};

class AccessibleGrid : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit AccessibleGrid(SkinGrid* grid) : QAccessibleWidget(grid, QAccessible::List) {}
    ~AccessibleGrid() override {
        for (const auto& [row, id] : rows_) QAccessible::deleteAccessibleInterface(id);
    }
    SkinGrid* Grid() const { return static_cast<SkinGrid*>(widget()); }

    int childCount() const override { return Grid()->RowCount(); }
    QAccessibleInterface* child(int index) const override { return Row(index); }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child || child->role() != QAccessible::ListItem) return -1;
        auto* cell = const_cast<QAccessibleInterface*>(child)->tableCellInterface();
        return cell ? cell->rowIndex() : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const int row = Grid()->RowAt(Grid()->mapFromGlobal(QPoint(x, y)));
        return row >= 0 ? Row(row) : nullptr;
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.multiSelectable = false;
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override { return column == 0 ? Row(row) : nullptr; }
    int selectedCellCount() const override { return Grid()->RowCount() > 0 ? 1 : 0; }
    QList<QAccessibleInterface*> selectedCells() const override {
        if (Grid()->RowCount() == 0) return {};
        return {Row(Grid()->CurrentRow())};
    }
    QString columnDescription(int) const override { return widget()->accessibleName(); }
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return selectedCellCount(); }
    int columnCount() const override { return 1; }
    int rowCount() const override { return Grid()->RowCount(); }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override {
        if (Grid()->RowCount() == 0) return {};
        return {Grid()->CurrentRow()};
    }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override { return Grid()->RowCount() > 0 && row == Grid()->CurrentRow(); }
    bool selectRow(int row) override {
        if (row < 0 || row >= Grid()->RowCount()) return false;
        Grid()->SetCurrentRow(row, true);
        return true;
    }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

    QStringList actionNames() const override { return {pressAction(), setFocusAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction()) QMetaObject::invokeMethod(Grid(), "activated");
        else QAccessibleWidget::doAction(name);
    }

private:
    QAccessibleInterface* Row(int row) const {
        if (row < 0 || row >= Grid()->RowCount()) return nullptr;
        auto it = rows_.find(row);
        if (it == rows_.end()) {
            auto* iface = new AccessibleGridRow(Grid(), row);
            it = rows_.emplace(row, QAccessible::registerAccessibleInterface(iface)).first;
        }
        return QAccessible::accessibleInterface(it->second);
    }
    mutable std::unordered_map<int, QAccessible::Id> rows_;
};

// Knobs, bars and the meter: a position in a range.
class AccessibleRange : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    AccessibleRange(QWidget* w, QAccessible::Role role) : QAccessibleWidget(w, role) {}
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return QString::number(currentValue().toInt());
        return QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override {
        if (auto* k = qobject_cast<SkinKnob*>(widget())) return k->Value();
        if (auto* b = qobject_cast<GaugeBar*>(widget())) return b->Position();
        if (auto* m = qobject_cast<LevelMeter*>(widget())) return m->Value();
        return {};
    }
    void setCurrentValue(const QVariant& value) override {
        if (auto* k = qobject_cast<SkinKnob*>(widget())) k->SetValue(value.toInt());
        else if (auto* b = qobject_cast<GaugeBar*>(widget())) b->SetPosition(value.toInt());
    }
    QVariant maximumValue() const override {
        if (auto* k = qobject_cast<SkinKnob*>(widget())) return k->Maximum();
        if (auto* b = qobject_cast<GaugeBar*>(widget())) return b->Maximum();
        return 100;
    }
    QVariant minimumValue() const override {
        if (auto* k = qobject_cast<SkinKnob*>(widget())) return k->Minimum();
        if (auto* b = qobject_cast<GaugeBar*>(widget())) return b->Minimum();
        return 0;
    }
    QVariant minimumStepSize() const override {
        if (auto* k = qobject_cast<SkinKnob*>(widget())) return k->Step();
        return 1;
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (qobject_cast<LevelMeter*>(widget())) s.readOnly = true;
        return s;
    }
};

// Switches, icons and clickable captions: something to press.
class AccessiblePress : public QAccessibleWidget {
public:
    AccessiblePress(QWidget* w, QAccessible::Role role) : QAccessibleWidget(w, role) {}
    QString text(QAccessible::Text t) const override {
        QString name = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && name.isEmpty()) {
            if (auto* l = qobject_cast<SkinLabel*>(widget())) return l->text();
        }
        if (t == QAccessible::Description) {
            if (auto* s = qobject_cast<SkinSwitch*>(widget()); s && s->CurrentState() == SkinSwitch::State::Recording)
                return QStringLiteral("recording");
        }
        return name;
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (auto* sw = qobject_cast<SkinSwitch*>(widget()); sw && sw->IsToggle()) {
            s.checkable = true;
            s.checked = sw->CurrentState() != SkinSwitch::State::Idle;
        }
        return s;
    }
    QStringList actionNames() const override {
        QStringList names{pressAction()};
        if (auto* sw = qobject_cast<SkinSwitch*>(widget()); sw && sw->IsToggle()) names << toggleAction();
        return names;
    }
    void doAction(const QString& name) override {
        if (name != pressAction() && name != toggleAction()) return;
        if (auto* l = qobject_cast<SkinLabel*>(widget())) {
            emit l->pressed(Qt::LeftButton);
            emit l->clicked();
        } else if (auto* s = qobject_cast<SkinSwitch*>(widget())) {
            emit s->clicked();
        } else if (auto* i = qobject_cast<SkinIconButton*>(widget())) {
            emit i->clicked();
        }
    }
};

QAccessibleInterface* SkinFactory(const QString& className, QObject* object) {
    auto* w = qobject_cast<QWidget*>(object);
    if (!w) return nullptr;
    if (className == QLatin1String("lumaro::SkinGrid")) return new AccessibleGrid(static_cast<SkinGrid*>(w));
    if (className == QLatin1String("lumaro::SkinKnob")) return new AccessibleRange(w, QAccessible::Dial);
    if (className == QLatin1String("lumaro::GaugeBar")) return new AccessibleRange(w, QAccessible::ScrollBar);
    if (className == QLatin1String("lumaro::LevelMeter")) return new AccessibleRange(w, QAccessible::ProgressBar);
    if (className == QLatin1String("lumaro::SkinSwitch")) {
        return new AccessiblePress(w, static_cast<SkinSwitch*>(w)->IsToggle() ? QAccessible::CheckBox
                                                                              : QAccessible::Button);
    }
    if (className == QLatin1String("lumaro::SkinIconButton")) return new AccessiblePress(w, QAccessible::Button);
    if (className == QLatin1String("lumaro::SkinLabel") && static_cast<SkinLabel*>(w)->IsClickable())
        return new AccessiblePress(w, QAccessible::Button);
    return nullptr; // plain labels: Qt's own label interface (static text)
}

} // namespace

void InstallSkinAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(SkinFactory);
        return true;
    }();
    (void)installed;
}

} // namespace lumaro
