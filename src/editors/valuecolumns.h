#pragma once

class QTableView;

// Keeps every value column of a parameter table wide enough for a whole value
// and its header: a table wider than its window scrolls instead of breaking
// "0.000000" over two lines (ten teeth do not fit 800 pixels otherwise).
void fitValueColumns(QTableView *table);
