#pragma once
#include <QDir>
#include <QProcess>
#include <QStringList>
#include <memory>
#include <vector>

// Simulated radios run as programs of their own, as a user's rq300-sim runs,
// each keeping its memory in an image file. Stopped radios save their image.
class SimProcesses {
public:
    ~SimProcesses() { stop(); }

    // Starts rq300-sim from `binDir` on `imagePath`; its device path, or
    // empty when it did not come up.
    QString start(const QString& binDir, const QString& imagePath, const QStringList& extra = {})
    {
        auto p = std::make_unique<QProcess>();
        p->start(QDir(binDir).filePath("rq300-sim"), QStringList{"--image", imagePath} + extra);
        if (!p->waitForStarted(5000))
            return {};
        while (!p->canReadLine())
            if (!p->waitForReadyRead(5000))
                return {};
        const QString device = QString::fromUtf8(p->readLine()).trimmed();
        m_sims.push_back(std::move(p));
        return device;
    }

    // The process of the radio started last (to send it a signal).
    qint64 lastPid() const { return m_sims.empty() ? 0 : m_sims.back()->processId(); }

    void stop()
    {
        for (auto& p : m_sims) {
            p->terminate();
            if (!p->waitForFinished(5000))
                p->kill();
        }
        m_sims.clear();
    }

private:
    std::vector<std::unique_ptr<QProcess>> m_sims;
};
