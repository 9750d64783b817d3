// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/alignment/text_file_alignment.h"

namespace dictora {

TextFileAlignment alignTextFile(const TextImportRequest& request, const QString& voice,
                                RetimeChoice retime,
                                const std::function<bool(double done)>& progress)
{
    using Status = TextFileAlignment::Status;
    TextFileAlignment result;
    result.text = readAlignmentText(request);
    const TextImportOutcome& read = result.text.read;
    if (read.status == TextImportOutcome::Status::Unreadable ||
        read.status == TextImportOutcome::Status::NoTextFile) {
        result.status = Status::Unreadable;
        return result;
    }
    if (read.status != TextImportOutcome::Status::Imported) {
        result.message = read.message;
        return result;
    }
    if (retime == RetimeChoice::Always && !result.text.retime) {
        result.message = QStringLiteral("文本里没有时间, 无法重新对时; 请不加 --retime 对齐.");
        return result;
    }
    const bool useTimes = retime != RetimeChoice::Never && result.text.retime;

    MediaAlignmentRequest alignment;
    alignment.mediaPath = request.mediaPath;
    alignment.sentences = result.text.sentences;
    alignment.stated = useTimes ? &result.text.stated : nullptr;
    alignment.voice = voice;
    result.media = alignMedia(alignment, progress);
    switch (result.media.status) {
    case MediaAlignment::Status::Aligned:
        applyAlignment(result.text, result.media.sentences);
        result.status = Status::Aligned;
        break;
    case MediaAlignment::Status::Refused:
        result.message = result.media.message;
        result.status = Status::Refused;
        break;
    case MediaAlignment::Status::Cancelled:
        result.status = Status::Cancelled;
        break;
    }
    return result;
}

} // namespace dictora
