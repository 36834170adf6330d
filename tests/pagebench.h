#pragma once

#include "device/hidconfig.h"

#include "controller/simulatedcontroller.h"
#include "virtualhid/virtualhidbus.h"

#include "loopthread.h"
#include "pauserecorder.h"

#include <QtTest>
#include <memory>

// A named child widget of a page under test; a missing one ends the run, as the form
// promises it.
template <typename T> T *PageChild(const QObject *page, const QString &name)
{
    T *widget = page->findChild<T *>(name);
    if (!widget)
        qFatal("no child %s", qPrintable(name));
    return widget;
}

// A command as "code: parameters", the code in hex: "bd: 0 0 50 0".
inline QString CommandText(int code, const QVector<int> &params)
{
    QStringList parts;
    for (int b : params)
        parts << QString::number(b);
    return QStringLiteral("%1: %2").arg(code, 2, 16, QLatin1Char('0')).arg(parts.join(' '));
}

// A frame the device took, with its first `params` parameters, the same way.
inline QString CommandText(const std::vector<uint8_t> &frame, int params)
{
    QVector<int> values;
    for (int i = 0; i < params; ++i)
        values << frame[size_t(5 + i)];
    return CommandText(frame[4], values);
}

// What a configuration page stands on in its tests: the model with a writer that records
// its pauses instead of sleeping, one simulated controller open in slot 0 as the device
// commands go to, and the controller's keys. Without a read loop replies are never read,
// so saves are not read back; StartReading gives the model its loop, as in the app.
class PageBench
{
public:
    explicit PageBench(uint16_t productId = 0x400E)
        : m_config(std::make_unique<HidConfig>()),
          m_device(ctrlsim::SimulatedController::plug(productId))
    {
        auto writer = std::make_unique<PauseRecorder>();
        m_writer = writer.get();
        m_config->UseControllersCommunication(std::move(writer));
        m_opened = m_config->OpenSlot(0, QString::fromStdString(m_device->path()));
        m_config->SelectWriteSlot(0);
        m_writer->framesSoFar = [this] { return m_device->firmware().frames().size(); };
        // No read loop brings replies here: saves show their notice without a read-back.
        m_config->m_checkSaves.store(false);
    }

    ~PageBench()
    {
        m_loop.reset();
        m_config.reset();
        m_device.reset();
        vhid::Bus::instance().reset();
    }

    bool IsOpen() const { return m_opened; }

    // Configures the device as the app does (the read-back of its record, replies taken
    // by the model's read loop, with a short pause before each) and checks saves again.
    void StartReading(int replyDelayMs = 2)
    {
        m_config->Reader().m_replyDelay.store(replyDelayMs);
        m_config->m_checkSaves.store(true);
        m_config->SetReading(true);
        m_loop = std::make_unique<LoopThread<HidConfig>>(*m_config);
        m_config->SelectSlot(0);
    }
    // The model goes first, as when the main window closes before its pages.
    void DropConfig()
    {
        m_loop.reset();
        m_config.reset();
    }
    HidConfig &Config() { return *m_config; }
    PauseRecorder &Writer() { return *m_writer; }
    ctrlsim::SimulatedController &Device() { return *m_device; }
    // Every command frame the controller received, in order.
    std::vector<std::vector<uint8_t>> Frames() const { return m_device->firmware().frames(); }

    // Controller keys by letter: R L U D (D-pad), A, B.
    void Press(const QString &keys)
    {
        HidConfig *c = m_config.get();
        for (const QChar key : keys) {
            if (key == 'R')
                emit c->pressButtonRight(true);
            else if (key == 'L')
                emit c->pressButtonLeft(true);
            else if (key == 'U')
                emit c->pressButtonUp(true);
            else if (key == 'D')
                emit c->pressButtonDown(true);
            else if (key == 'A')
                emit c->pressButtonA(true);
            else if (key == 'B')
                emit c->pressButtonB(true);
        }
    }

private:
    std::unique_ptr<HidConfig> m_config;
    std::unique_ptr<ctrlsim::SimulatedController> m_device;
    PauseRecorder *m_writer = nullptr;
    std::unique_ptr<LoopThread<HidConfig>> m_loop;
    bool m_opened = false;
};
