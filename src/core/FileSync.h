#pragma once

class QFile;

// Makes what was written to an open file durable: after flush(), the bytes are on the
// disk, not only in the system's cache. The recall history calls it after each append.
namespace FileSync {

bool flush(QFile &file);

} // namespace FileSync
