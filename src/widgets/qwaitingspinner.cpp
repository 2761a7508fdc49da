#include "widgets/qwaitingspinner.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

QWaitingSpinner::QWaitingSpinner(QWidget *parent, bool centreOnParent, bool disableParent)
    : QWidget(parent), m_timer(new QTimer(this)), m_centerOnParent(centreOnParent),
      m_disableParentWhenSpinning(disableParent)
{
    connect(m_timer, &QTimer::timeout, this, &QWaitingSpinner::rotate);
    const int side = (m_innerRadius + m_lineLength) * 2;
    setFixedSize(side, side);
    m_timer->setInterval(static_cast<int>(1000 / (m_numberOfLines * m_revolutionsPerSecond)));
    // The parent may be disabled while we spin; we only draw, so never take input.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

void QWaitingSpinner::start()
{
    updatePosition();
    m_isSpinning = true;
    show();
    raise();
    if (parentWidget() && m_disableParentWhenSpinning)
        parentWidget()->setEnabled(false);
    if (!m_timer->isActive()) {
        m_timer->start();
        m_currentCounter = 0;
    }
}

void QWaitingSpinner::stop()
{
    m_isSpinning = false;
    hide();
    if (parentWidget() && m_disableParentWhenSpinning)
        parentWidget()->setEnabled(true);
    if (m_timer->isActive()) {
        m_timer->stop();
        m_currentCounter = 0;
    }
}

void QWaitingSpinner::rotate()
{
    ++m_currentCounter;
    if (m_currentCounter >= m_numberOfLines)
        m_currentCounter = 0;
    update();
}

void QWaitingSpinner::updatePosition()
{
    QWidget *parent = parentWidget();
    if (!parent || !m_centerOnParent)
        return;
    QPoint topLeft(parent->width() / 2 - width() / 2, parent->height() / 2 - height() / 2);
    if (isWindow())
        topLeft = parent->mapToGlobal(topLeft);
    move(topLeft);
}

QColor QWaitingSpinner::lineColor(int distance) const
{
    QColor color = m_color;
    if (distance == 0)
        return color;
    const double minAlpha = m_minimumTrailOpacity / 100.0;
    const int threshold =
        static_cast<int>(std::ceil((m_numberOfLines - 1) * m_trailFadePercentage / 100.0));
    if (distance > threshold) {
        color.setAlphaF(static_cast<float>(minAlpha));
        return color;
    }
    const double alpha = color.alphaF();
    const double faded = alpha - (alpha - minAlpha) / (threshold + 1) * distance;
    color.setAlphaF(static_cast<float>(std::clamp(faded, 0.0, 1.0)));
    return color;
}

void QWaitingSpinner::paintEvent(QPaintEvent *)
{
    updatePosition();
    QPainter painter(this);
    painter.fillRect(rect(), Qt::transparent);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    if (m_currentCounter >= m_numberOfLines)
        m_currentCounter = 0;
    const int centre = m_innerRadius + m_lineLength;
    for (int i = 0; i < m_numberOfLines; ++i) {
        painter.save();
        painter.translate(centre, centre);
        painter.rotate(360.0 * i / m_numberOfLines);
        painter.translate(m_innerRadius, 0);
        int distance = m_currentCounter - i;
        if (distance < 0)
            distance += m_numberOfLines;
        painter.setBrush(lineColor(distance));
        painter.drawRoundedRect(QRectF(0, -m_lineWidth / 2.0, m_lineLength, m_lineWidth),
                                m_roundness, m_roundness, Qt::RelativeSize);
        painter.restore();
    }
}
