#pragma once
// Every text the conversion shows. Cyrillic texts are stored in Windows-1251, as the
// toolkit expects; the comment beside each gives it readable.

namespace Messages {

inline constexpr char kCaptionMessage[] = "Message";
inline constexpr char kCaptionError[] = "Error";
inline constexpr char kCaptionMessageRu[] = "\xD1\xEE\xEE\xE1\xF9\xE5\xED\xE8\xE5";  // Сообщение
inline constexpr char kCaptionErrorRu[] = "\xCE\xF8\xE8\xE1\xEA\xE0";                // Ошибка

// The convert command
inline constexpr char kOpenFilePrompt[] = "Open file";
inline constexpr char kConvertedOk[] = "Converting vbf - ok";
inline constexpr char kErrorWriteFile[] = "Error write file";

// File access
inline constexpr char kErrorOpenFile[] = "Error open file";
inline constexpr char kErrorReadFile[] = "Error read file";
inline constexpr char kEmptyFile[] = "Length file 0 byte";
inline constexpr char kFileTooLarge[] = "File is too large";

// The image builder
inline constexpr char kHeaderNotFound[] = "Header vbf is not found";
inline constexpr char kNotVbf[] = "Is not vbf";
inline constexpr char kNoDataBlocks[] =
    "\xCD\xE5\xF2 \xE1\xEB\xEE\xEA\xEE\xE2 \xE4\xE0\xED\xED\xFB\xF5";  // Нет блоков данных
inline constexpr char kBlockPastEnd[] = "Data block runs past end of file";
inline constexpr char kBlockOutsideImage[] = "Data block is outside the image";

}  // namespace Messages
