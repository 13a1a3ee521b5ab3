#pragma once

#include <QString>

// Whole-file reads and writes of the program's single-byte text files ("UpdateInfo.xml",
// "lizenz.txt", "Hardware.xml", the batch file), in Windows-1252 on every platform.
namespace upd::ansi_text_file {

// The program reads whole text files into one string of at most this many bytes.
inline constexpr qsizetype MaxReadBytes = 32767;

// Reads at most `limit` bytes. RuntimeError 53 when the file is missing, 75 when it cannot be
// read.
QString read(const QString& path, qsizetype limit = MaxReadBytes);

// Reads the whole file, which must not be longer than MaxReadBytes: RuntimeError 6 (overflow) when
// it is, 53 when it is missing, 75 when it cannot be read.
QString readWhole(const QString& path);

// Replaces the file's content. RuntimeError 75 when it cannot be written; the previous content
// stays intact then, because the new content is written beside it and renamed over it.
void write(const QString& path, const QString& text);

// Appends the text to the file (created when missing) through a temporary copy that replaces the
// old file only when complete. Raises 75 when the file cannot be read or written.
void append(const QString& path, const QString& text);

} // namespace upd::ansi_text_file
