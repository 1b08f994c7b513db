// Incremental SHA-256 whose input arrives in pieces, so no file is ever held whole.
#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;
struct evp_md_ctx_st;

class Sha256Stream {
public:
    Sha256Stream();
    ~Sha256Stream();
    Sha256Stream(const Sha256Stream&) = delete;
    Sha256Stream& operator=(const Sha256Stream&) = delete;

    void addData(const char* data, qint64 length);
    void addData(const QByteArray& bytes) { addData(bytes.constData(), bytes.size()); }
    // Reads the device to its end; false when a read fails (what came before is kept).
    bool addDevice(QIODevice& device);
    // The digest as 64 lower-case hexadecimal digits; empty if the hash could not be set up.
    QString hexResult();

private:
    evp_md_ctx_st* context_;
    bool usable_;
};
