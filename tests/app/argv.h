// A NUL-terminated argument vector that outlives the call, program name first, in the local
// encoding as a shell passes them.
#pragma once

#include <QByteArrayList>
#include <QStringList>

#include <vector>

class Argv {
public:
    explicit Argv(const QStringList& args) : storage_{"coffret"} {
        for (const QString& arg : args)
            storage_ << arg.toLocal8Bit();
        for (const QByteArray& arg : storage_)
            pointers_.push_back(arg.constData());
        pointers_.push_back(nullptr);
    }

    int argc() const { return int(storage_.size()); }
    const char* const* argv() const { return pointers_.data(); }

private:
    QByteArrayList storage_;
    std::vector<const char*> pointers_;
};
