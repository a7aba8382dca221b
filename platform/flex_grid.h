#pragma once

#include <QTableView>
#include <QString>
#include <QStringList>
#include <vector>

namespace thrustlet {

class FlexGridModel;

// The grain table: a grid of text cells with one fixed header row (row 0) and
// one fixed first column (column 0), shown as the view's headers so they stay
// in place while the grains scroll. The selection is a range from the anchor
// cell (Row, Col) to the other corner (RowSel, ColSel); the other corner may
// lie above or below the anchor.
//
// Setting Row moves the anchor row and collapses RowSel onto it; setting Col
// does the same for the column. RowSel and ColSel then extend the selection. A mouse press on a cell selects that cell,
// dragging moves RowSel and ColSel, and Click is emitted once the button is
// released. Clicking a fixed cell selects its whole row or column.
class FlexGrid : public QTableView {
    Q_OBJECT
public:
    explicit FlexGrid(QWidget* parent = nullptr);
    ~FlexGrid() override;

    // One field per column, separated by "|"; a leading "^" centres the column.
    // The fields become the header row's texts.
    void SetFormatString(const QString& format);

    int Rows() const;
    // Truncates or extends the table, keeping the header row.
    void SetRows(int rows);
    int Cols() const;
    // Width of one column in twips.
    void SetColWidth(int col, int twips);
    int ColWidth(int col) const;

    int Row() const { return row_; }
    int Col() const { return col_; }
    int RowSel() const { return row_sel_; }
    int ColSel() const { return col_sel_; }
    void SetRow(int row);
    void SetCol(int col);
    void SetRowSel(int row);
    void SetColSel(int col);

    QString TextMatrix(int row, int col) const;
    void SetTextMatrix(int row, int col, const QString& text);

    bool IsSelected(int row, int col) const;

signals:
    void Click();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void CheckRow(int row) const;
    void CheckCol(int col) const;
    void SelectionChanged();
    void HeaderRowClicked(int section);
    void HeaderColumnClicked(int section);
    bool CellAt(const QPoint& pos, int* row, int* col) const;

    FlexGridModel* model_;
    std::vector<int> col_widths_;  // twips
    int row_ = 0, col_ = 0, row_sel_ = 0, col_sel_ = 0;
    bool dragging_ = false;
};

}  // namespace thrustlet
