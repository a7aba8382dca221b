#include "platform/flex_grid.h"

#include <QItemSelectionModel>

#include <QAbstractButton>
#include <QAbstractTableModel>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "model/errors.h"

namespace thrustlet {

namespace {
constexpr int kTwipsPerPixel = 15;
}

// Holds every cell, fixed ones included; the view shows rows 1.. and columns
// 1.. as its body, row 0 as the horizontal header and column 0 as the
// vertical header.
class FlexGridModel : public QAbstractTableModel {
public:
    explicit FlexGridModel(FlexGrid* grid) : QAbstractTableModel(grid), grid_(grid) {}

    std::vector<QStringList> cells{QStringList{QString()}};
    std::vector<Qt::Alignment> alignments{Qt::AlignLeft};

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(cells.size()) - 1;
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(alignments.size()) - 1;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const int row = index.row() + 1, col = index.column() + 1;
        const bool selected = grid_->IsSelected(row, col);
        switch (role) {
            case Qt::DisplayRole:
                return cells[static_cast<size_t>(row)][col];
            case Qt::TextAlignmentRole:
                return QVariant::fromValue(Qt::Alignment(alignments[static_cast<size_t>(col)] | Qt::AlignVCenter));
            case Qt::BackgroundRole:
                return selected ? grid_->palette().brush(QPalette::Highlight) : QVariant();
            case Qt::ForegroundRole:
                return selected ? grid_->palette().brush(QPalette::HighlightedText) : QVariant();
            default:
                return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role == Qt::DisplayRole) {
            if (orientation == Qt::Horizontal) return cells[0][section + 1];
            return cells[static_cast<size_t>(section) + 1][0];
        }
        if (role == Qt::TextAlignmentRole) {
            const auto align = orientation == Qt::Horizontal ? alignments[static_cast<size_t>(section) + 1]
                                                             : alignments[0];
            return QVariant::fromValue(Qt::Alignment(align | Qt::AlignVCenter));
        }
        return {};
    }
    void Refresh() {
        if (rowCount() > 0 && columnCount() > 0) {
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
        }
    }
    template <typename Change>
    void Reset(Change&& change) {
        beginResetModel();
        change();
        endResetModel();
    }
    void Resize(int rows) {
        const int old_rows = static_cast<int>(cells.size());
        if (rows > old_rows) {
            beginInsertRows({}, old_rows - 1, rows - 2);
            QStringList empty;
            for (size_t c = 0; c < alignments.size(); ++c) empty << QString();
            cells.resize(static_cast<size_t>(rows), empty);
            endInsertRows();
        } else if (rows < old_rows) {
            beginRemoveRows({}, rows - 1, old_rows - 2);
            cells.resize(static_cast<size_t>(rows));
            endRemoveRows();
        }
    }

private:
    FlexGrid* grid_;
};

namespace {

// Paints the header row's first cell ("Grain #") on the view's corner button,
// which Qt leaves blank.
class CornerPainter : public QObject {
public:
    CornerPainter(QAbstractButton* corner, FlexGridModel* model) : QObject(corner), model_(model) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint) return false;
        auto* button = static_cast<QAbstractButton*>(watched);
        QStyleOptionHeader option;
        option.initFrom(button);
        option.state |= QStyle::State_Enabled | QStyle::State_Raised;
        option.palette.setCurrentColorGroup(QPalette::Active);
        option.rect = button->rect();
        option.text = model_->cells[0][0];
        option.textAlignment = model_->alignments[0] | Qt::AlignVCenter;
        option.position = QStyleOptionHeader::OnlyOneSection;
        QPainter painter(button);
        button->style()->drawControl(QStyle::CE_Header, &option, &painter, button);
        return true;
    }

private:
    FlexGridModel* model_;
};

}  // namespace

FlexGrid::FlexGrid(QWidget* parent) : QTableView(parent), model_(new FlexGridModel(this)) {
    setModel(model_);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setCornerButtonEnabled(false);
    setWordWrap(false);
    setTabKeyNavigation(false);  // Tab moves on to the next control
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    if (auto* corner = findChild<QAbstractButton*>()) {
        corner->installEventFilter(new CornerPainter(corner, model_));
    }
    connect(verticalHeader(), &QHeaderView::sectionClicked, this, &FlexGrid::HeaderRowClicked);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &FlexGrid::HeaderColumnClicked);
    SetFormatString("");
}

FlexGrid::~FlexGrid() = default;

void FlexGrid::SetFormatString(const QString& format) {
    const QStringList fields = format.split('|');
    QStringList header;
    model_->Reset([&] {
    model_->alignments.clear();
    for (QString field : fields) {
        Qt::Alignment align = Qt::AlignLeft;
        if (field.startsWith('^')) {
            align = Qt::AlignHCenter;
            field.remove(0, 1);
        } else if (field.startsWith('>')) {
            align = Qt::AlignRight;
            field.remove(0, 1);
        } else if (field.startsWith('<')) {
            field.remove(0, 1);
        }
        model_->alignments.push_back(align);
        header << field;
    }
    model_->cells.resize(std::max<size_t>(model_->cells.size(), 1));
    for (auto& row : model_->cells) {
        while (row.size() < header.size()) row << QString();
        while (row.size() > header.size()) row.removeLast();
    }
    model_->cells[0] = header;
    col_widths_.resize(static_cast<size_t>(header.size()), 0);
    });
    for (int c = 0; c < header.size(); ++c) {
        if (col_widths_[static_cast<size_t>(c)] > 0) SetColWidth(c, col_widths_[static_cast<size_t>(c)]);
    }
    row_ = std::min(row_, Rows() - 1);
    row_sel_ = std::min(row_sel_, Rows() - 1);
    col_ = std::min(col_, Cols() - 1);
    col_sel_ = std::min(col_sel_, Cols() - 1);
}

int FlexGrid::Rows() const { return static_cast<int>(model_->cells.size()); }

int FlexGrid::Cols() const { return static_cast<int>(model_->alignments.size()); }

void FlexGrid::SetRows(int rows) {
    if (rows < 1) throw RunTimeError(30009, "Invalid Row value");
    if (rows == Rows()) return;
    model_->Resize(rows);
    row_ = std::min(row_, rows - 1);
    row_sel_ = std::min(row_sel_, rows - 1);
    SelectionChanged();
}

void FlexGrid::SetColWidth(int col, int twips) {
    CheckCol(col);
    col_widths_[static_cast<size_t>(col)] = twips;
    const int pixels = std::max(1, (twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
    if (col == 0) {
        verticalHeader()->setFixedWidth(pixels);
    } else {
        setColumnWidth(col - 1, pixels);
    }
}

int FlexGrid::ColWidth(int col) const {
    CheckCol(col);
    return col_widths_[static_cast<size_t>(col)];
}

void FlexGrid::CheckRow(int row) const {
    if (row < 0 || row >= Rows()) throw RunTimeError(30009, "Invalid Row value");
}

void FlexGrid::CheckCol(int col) const {
    if (col < 0 || col >= Cols()) throw RunTimeError(30010, "Invalid Col value");
}

void FlexGrid::SetRow(int row) {
    CheckRow(row);
    row_ = row_sel_ = row;
    SelectionChanged();
}

void FlexGrid::SetCol(int col) {
    CheckCol(col);
    col_ = col_sel_ = col;
    SelectionChanged();
}

void FlexGrid::SetRowSel(int row) {
    CheckRow(row);
    row_sel_ = row;
    SelectionChanged();
}

void FlexGrid::SetColSel(int col) {
    CheckCol(col);
    col_sel_ = col;
    SelectionChanged();
}

QString FlexGrid::TextMatrix(int row, int col) const {
    CheckRow(row);
    CheckCol(col);
    return model_->cells[static_cast<size_t>(row)][col];
}

void FlexGrid::SetTextMatrix(int row, int col, const QString& text) {
    CheckRow(row);
    CheckCol(col);
    model_->cells[static_cast<size_t>(row)][col] = text;
    if (row == 0) {
        emit model_->headerDataChanged(Qt::Horizontal, col - 1, col - 1);
    } else if (col == 0) {
        emit model_->headerDataChanged(Qt::Vertical, row - 1, row - 1);
    } else {
        const QModelIndex index = model_->index(row - 1, col - 1);
        emit model_->dataChanged(index, index);
    }
}

bool FlexGrid::IsSelected(int row, int col) const {
    return row >= std::min(row_, row_sel_) && row <= std::max(row_, row_sel_) &&
           col >= std::min(col_, col_sel_) && col <= std::max(col_, col_sel_);
}

// The focus frame belongs on the anchor cell (Row, Col), the cell that has
// the focus; on a fixed cell there is none.
void FlexGrid::SelectionChanged() {
    model_->Refresh();
    if (QItemSelectionModel* selection = selectionModel()) {
        const QModelIndex anchor =
            row_ >= 1 && col_ >= 1 ? model_->index(row_ - 1, col_ - 1) : QModelIndex();
        selection->setCurrentIndex(anchor, QItemSelectionModel::NoUpdate);
    }
    viewport()->update();
}

bool FlexGrid::CellAt(const QPoint& pos, int* row, int* col) const {
    const QModelIndex index = indexAt(pos);
    if (!index.isValid()) return false;
    *row = index.row() + 1;
    *col = index.column() + 1;
    return true;
}

void FlexGrid::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    int row = 0, col = 0;
    if (event->button() != Qt::LeftButton || !CellAt(event->position().toPoint(), &row, &col)) return;
    row_ = row_sel_ = row;
    col_ = col_sel_ = col;
    dragging_ = true;
    SelectionChanged();
}

void FlexGrid::mouseMoveEvent(QMouseEvent* event) {
    int row = 0, col = 0;
    if (!dragging_ || !CellAt(event->position().toPoint(), &row, &col)) return;
    if (row == row_sel_ && col == col_sel_) return;
    row_sel_ = row;
    col_sel_ = col;
    SelectionChanged();
}

void FlexGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_ || event->button() != Qt::LeftButton) return;
    dragging_ = false;
    emit Click();
}

void FlexGrid::HeaderRowClicked(int section) {
    row_ = row_sel_ = section + 1;
    col_ = 1;
    col_sel_ = Cols() - 1;
    SelectionChanged();
    emit Click();
}

void FlexGrid::HeaderColumnClicked(int section) {
    col_ = col_sel_ = section + 1;
    row_ = std::min(1, Rows() - 1);
    row_sel_ = Rows() - 1;
    SelectionChanged();
    emit Click();
}

}  // namespace thrustlet
