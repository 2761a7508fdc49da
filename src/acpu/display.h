#pragma once

#include <QObject>
#include <QString>

namespace Acpu {

// The machine's operator panel: four text lines and four lamps. Setters emit
// only on change, so a copy with Assign repaints only what differs.
class Display : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString line1 READ line1 WRITE setLine1 NOTIFY line1Changed)
    Q_PROPERTY(QString line2 READ line2 WRITE setLine2 NOTIFY line2Changed)
    Q_PROPERTY(QString line3 READ line3 WRITE setLine3 NOTIFY line3Changed)
    Q_PROPERTY(QString line4 READ line4 WRITE setLine4 NOTIFY line4Changed)
    Q_PROPERTY(bool errorLed READ errorLed WRITE setErrorLed NOTIFY errorLedChanged)
    Q_PROPERTY(bool runLed READ runLed WRITE setRunLed NOTIFY runLedChanged)
    Q_PROPERTY(bool mode1Led READ mode1Led WRITE setMode1Led NOTIFY mode1LedChanged)
    Q_PROPERTY(bool mode2Led READ mode2Led WRITE setMode2Led NOTIFY mode2LedChanged)
public:
    explicit Display(QObject *parent = nullptr) : QObject(parent) {}

    QString line1() const { return m_line1; }
    QString line2() const { return m_line2; }
    QString line3() const { return m_line3; }
    QString line4() const { return m_line4; }
    bool errorLed() const { return m_errorLed; }
    bool runLed() const { return m_runLed; }
    bool mode1Led() const { return m_mode1Led; }
    bool mode2Led() const { return m_mode2Led; }

    void setLine1(const QString &value);
    void setLine2(const QString &value);
    void setLine3(const QString &value);
    void setLine4(const QString &value);
    void setErrorLed(bool value);
    void setRunLed(bool value);
    void setMode1Led(bool value);
    void setMode2Led(bool value);

    void Assign(const Display &other);

signals:
    void line1Changed(QString value);
    void line2Changed(QString value);
    void line3Changed(QString value);
    void line4Changed(QString value);
    void errorLedChanged(bool value);
    void runLedChanged(bool value);
    void mode1LedChanged(bool value);
    void mode2LedChanged(bool value);

private:
    QString m_line1, m_line2, m_line3, m_line4;
    bool m_errorLed = false;
    bool m_runLed = false;
    bool m_mode1Led = false;
    bool m_mode2Led = false;
};

} // namespace Acpu
