#include "core/FileMessages.h"

namespace kelm {

namespace {

std::string Quoted(const std::filesystem::path& path) {
    return "«" + path.string() + "»";
}

std::string Reason(const std::error_code& error) {
    return error ? error.message() : std::string("unknown error");
}

}  // namespace

std::string ReadFailureMessage(const ReadResult& result, const std::filesystem::path& path,
                               MessageStyle style) {
    if (style != MessageStyle::Window) {
        std::string reason;
        switch (result.status) {
            case ReadStatus::Folder:
                reason = "is a directory";
                break;
            case ReadStatus::NotAFile:
                reason = "not a regular file (a device, a FIFO or a socket)";
                break;
            case ReadStatus::TooLarge:
                reason = "larger than 4 MiB, more than any file Kelm reads";
                break;
            default:
                reason = Reason(result.error);
        }
        return style == MessageStyle::Reason ? reason
                                             : "cannot read " + path.string() + ": " + reason;
    }
    const std::string file = Quoted(path);
    switch (result.status) {
        case ReadStatus::Folder:
            return "Не удалось открыть файл " + file + ": это папка.";
        case ReadStatus::NotAFile:
            return "Не удалось открыть файл " + file + ": это не файл, а устройство или канал.";
        case ReadStatus::TooLarge:
            return "Не удалось открыть файл " + file + ": он больше 4 МБ.";
        case ReadStatus::Failed:
            return "Не удалось прочитать файл " + file + ".";
        default:
            return "Не удалось открыть файл " + file + ".";
    }
}

std::string WriteFailureMessage(const WriteResult& result, const std::filesystem::path& path,
                                MessageStyle style) {
    if (style != MessageStyle::Window) {
        std::string reason;
        switch (result.status) {
            case WriteStatus::Folder:
                reason = "is a directory";
                break;
            case WriteStatus::WriteProtected:
                reason = "the file is write-protected";
                break;
            case WriteStatus::NoReader:
                reason = "no program reads from this FIFO";
                break;
            default:
                reason = Reason(result.error);
        }
        return style == MessageStyle::Reason ? reason
                                             : "cannot write " + path.string() + ": " + reason;
    }
    const std::string file = Quoted(path);
    switch (result.status) {
        case WriteStatus::Folder:
            return "Не удалось сохранить файл " + file + ": это папка.";
        case WriteStatus::WriteProtected:
            return "Не удалось сохранить файл " + file +
                   ": файл защищён от записи. Файл на диске не изменён.";
        case WriteStatus::NoReader:
            return "Не удалось сохранить файл " + file + ": из этого канала никто не читает.";
        case WriteStatus::StreamFailed:
            return "Не удалось записать данные в " + file + ".";
        default:
            return "Не удалось сохранить файл " + file + ". Файл на диске не изменён.";
    }
}

}  // namespace kelm
