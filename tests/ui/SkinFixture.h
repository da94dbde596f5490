#pragma once
// A skin folder of its own for each test: layouts and language files are written to a temporary
// folder that the bridge then uses as its skin.
#include "common/DebugLog.h"
#include "ui/CResourceManager.h"
#include "ui/CSkinPaths.h"
#include "ui/TNotify.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nqtest {

struct Recorded {
    QString type;
    QString sender;
    quintptr wParam;
    qintptr lParam;
};

class RecordingHandler : public nq::ui::INotifyUI {
public:
    void Notify(const nq::ui::TNotify& msg) override
    {
        messages.push_back({msg.type, msg.SenderName(), msg.wParam, msg.lParam});
    }
    // The messages of one type, in order.
    std::vector<Recorded> OfType(const QString& type) const
    {
        std::vector<Recorded> found;
        for (const Recorded& m : messages)
            if (m.type == type)
                found.push_back(m);
        return found;
    }
    std::vector<Recorded> messages;
};

class SkinFixture : public ::testing::Test {
public:
    // A layout whose root QWidget named "root" holds body (widget elements in a vertical layout).
    static QByteArray Layout(const QByteArray& body, int width = 300, int height = 200)
    {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ui version=\"4.0\">\n"
               " <widget class=\"QWidget\" name=\"root\">\n"
               "  <property name=\"geometry\"><rect><x>0</x><y>0</y><width>" +
               QByteArray::number(width) + "</width><height>" + QByteArray::number(height) +
               "</height></rect></property>\n"
               "  <layout class=\"QVBoxLayout\" name=\"root_layout\">\n" +
               body + "  </layout>\n </widget>\n</ui>\n";
    }
    static QByteArray Item(const QByteArray& widgetClass, const QByteArray& name, const QByteArray& properties = {})
    {
        return "   <item><widget class=\"" + widgetClass + "\" name=\"" + name + "\">" + properties +
               "</widget></item>\n";
    }
    static QByteArray DynamicProperty(const QByteArray& name, const QByteArray& value)
    {
        return "<property name=\"" + name + "\" stdset=\"0\"><string>" + value + "</string></property>";
    }

protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QDir().mkpath(m_dir.path() + "/lang");
        nq::ui::CSkinPaths::SetSkinFolder(m_dir.path());
        nq::ui::CResourceManager::Instance().Clear();
        nq::SetDebugLogCallback([this](const std::string& line) { m_log.push_back(line); });
    }
    void TearDown() override
    {
        nq::SetDebugLogCallback({});
        nq::ui::CSkinPaths::SetSkinFolder(QString());
        nq::ui::CResourceManager::Instance().Clear();
    }

protected:
    void WriteFile(const QString& relative, const QByteArray& content)
    {
        QString path = m_dir.path() + "/" + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    bool LogContains(const std::string& text) const
    {
        for (const std::string& line : m_log)
            if (line.find(text) != std::string::npos)
                return true;
        return false;
    }

    QTemporaryDir m_dir;
    std::vector<std::string> m_log;
};

} // namespace nqtest
