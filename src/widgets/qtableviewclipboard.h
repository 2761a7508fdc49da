#pragma once

#include <QTableView>

// A table view that copies the selected cells to the clipboard as
// tab-separated text and pastes such text at the selected cell.
class QTableViewClipboard : public QTableView
{
    Q_OBJECT
public:
    explicit QTableViewClipboard(QWidget *parent = nullptr);

public slots:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void copy();
    void paste();
    void showError(const QString &text);
    void showRefused(const QModelIndex &index, const QString &text);
};
