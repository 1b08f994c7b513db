// A NUL-terminated argument vector that outlives the call, program name first.
#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <vector>

class Argv {
public:
    explicit Argv(const QList<QByteArray>& args) : storage_(QList<QByteArray>{"coffret"} + args) {
        for (const QByteArray& arg : storage_)
            pointers_.push_back(arg.constData());
        pointers_.push_back(nullptr);
    }
    // Arguments in the local encoding, as a shell passes them.
    explicit Argv(const QStringList& args) : Argv(localEncoded(args)) {}

    int argc() const { return int(storage_.size()); }
    const char* const* argv() const { return pointers_.data(); }

private:
    static QList<QByteArray> localEncoded(const QStringList& args) {
        QList<QByteArray> encoded;
        for (const QString& arg : args)
            encoded << arg.toLocal8Bit();
        return encoded;
    }

    QList<QByteArray> storage_;
    std::vector<const char*> pointers_;
};
