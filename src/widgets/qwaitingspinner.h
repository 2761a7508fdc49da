#pragma once

#include <QColor>
#include <QTimer>
#include <QWidget>

// A busy indicator drawn over a widget: a ring of short rounded lines whose
// brightness trails behind a rotating primary line.
class QWaitingSpinner : public QWidget
{
    Q_OBJECT
public:
    QWaitingSpinner(QWidget *parent, bool centreOnParent, bool disableParent);

    bool isSpinning() const { return m_isSpinning; }
    int numberOfLines() const { return m_numberOfLines; }
    int currentCounter() const { return m_currentCounter; }
    int timerInterval() const { return m_timer->interval(); }
    bool isTimerActive() const { return m_timer->isActive(); }

public slots:
    void start();
    void stop();

protected:
    void paintEvent(QPaintEvent *event) override;

private slots:
    void rotate();

private:
    void updatePosition();
    QColor lineColor(int distance) const;

    QColor m_color = Qt::black;
    double m_roundness = 100.0;
    double m_minimumTrailOpacity = 3.14159265358979;
    double m_trailFadePercentage = 80.0;
    double m_revolutionsPerSecond = 1.57079632679489661923;
    int m_numberOfLines = 20;
    int m_lineLength = 10;
    int m_lineWidth = 2;
    int m_innerRadius = 10;
    QTimer *m_timer;
    bool m_centerOnParent;
    bool m_disableParentWhenSpinning;
    int m_currentCounter = 0;
    bool m_isSpinning = false;
};
