#pragma once

// Every message the programs show, each written once, grouped as the window shows them: the
// status line, message boxes (text and caption), the dialogs' own texts, then velmora-csv's.
// Menus, dialog templates and control labels are the resource script's and the window's.
// Sources are UTF-8; the compiler makes these code page 932.

#include <cstdint>
#include <string>
#include <string_view>

namespace texts {

inline std::string Quoted(std::string_view text) { return '"' + std::string(text) + '"'; }

// The status line.
inline constexpr std::string_view kDefinitionsRead = "構造体定義ファイルを読み込みました。";
inline constexpr std::string_view kDefinitionsUnreadable =
    "構造体定義ファイルを読み込めませんでした。";
inline std::string DataRead(std::string_view path) {
  return "データ" + Quoted(path) + "を読み込みました";
}
inline std::string DataWritten(std::string_view path) {
  return "データを" + Quoted(path) + "に書き込みました";
}
inline constexpr std::string_view kExportPathEmpty = "ファイル名が空なためエクスポートできません。";
inline std::string Exported(std::string_view path) {
  return "ファイル" + Quoted(path) + "をエクスポートしました。";
}
inline std::string ExportFailed(std::string_view path) {
  return "ファイル" + Quoted(path) + "のエクスポートに失敗しました。";
}
inline constexpr std::string_view kEditOutsideData =
    "アクセスできる範囲を越えたところに入力されました";
// Also the caption of the box that shows the text typed.
inline constexpr std::string_view kEditNotShown = "入力値の反映に失敗しました";
// velmora-csv says the same of a --type it refuses.
inline std::string TypeCannotChange(std::string_view type) {
  return Quoted(type) + "型は変更できません";
}
inline std::string TypeChanged(std::string_view label, std::string_view type) {
  return Quoted(label) + "の型を " + std::string(type) + " に変更しました";
}

// Message boxes.
inline constexpr std::string_view kNoWorkingDirectory =
    "カレントディレクトリの取得に失敗しました\r\nプログラムの動作が保証できません";
inline constexpr std::string_view kNoWorkingDirectoryCaption = "FatalError!";
inline constexpr std::string_view kTableInitFailed =
    "テーブルを初期化できませんでした。\r\nプログラムを終了してください。";
inline constexpr std::string_view kTableInitFailedCaption = "Fatal Error";
inline constexpr std::string_view kNoData = "データがありません";
inline constexpr std::string_view kNoDataCaption = "Error Message";
inline constexpr std::string_view kReadFailedCaption = "FileReadError!";    // the path as text
inline constexpr std::string_view kWriteFailedCaption = "FileWriteError!";  // the path as text
inline constexpr std::string_view kEditEventCaption = "EDIT Event";         // the code as text
inline std::string RowLimit(std::string_view rows, std::string_view shown) {
  return "レコードが" + std::string(rows) + "件あります。一覧に表示できるのは先頭の" +
         std::string(shown) +
         "件までです。\r\nそれより後のレコードは表示されませんが、CSVエクスポートにはすべて含まれま"
         "す。";
}
inline constexpr std::string_view kRowLimitCaption = "表示件数の上限";
// Yes/no before an export replaces what is at its path.
inline std::string OverwriteQuestion(std::string_view path) {
  return "ファイル" + Quoted(path) + "は既に存在しています。\r\n上書きしますか？";
}
inline constexpr std::string_view kOverwriteCaption = "上書き注意";

// struct.def errors, one box each; velmora-csv prefixes them with the file's path.
inline constexpr std::string_view kDefinitionErrorCaption = "\\struct.def 定義エラー";
inline constexpr std::string_view kSemicolonBeforeType =
    "型が宣言されていないうちに\";\"を検出しました";
inline std::string NotAType(std::string_view token) {
  return Quoted(token) + "は定義された型ではありません";
}
inline constexpr std::string_view kEndBeforeName =
    "要素名が宣言されていないうちに定義の終わりを検出しました";
inline constexpr std::string_view kBadArray = "配列の定義が不正です";

// The dialogs: the item edit dialog's caption, and the box of a value a dialog cannot show.
inline std::string EditCaption(std::string_view row, std::string_view label,
                               std::string_view type) {
  return "No." + std::string(row) + " : " + std::string(label) + " : 型=" + std::string(type);
}
inline constexpr std::string_view kDialogErrorCaption = "Error!";
inline std::string BadType(std::string_view code) {
  return "型が異常です(" + std::string(code) + ")";
}
inline std::string BadNoBase(std::string_view noBase) {
  return "No.初期数設定値が異常です(" + std::string(noBase) + ")";
}

// velmora-csv's diagnostics, after the path or option they are about.
inline constexpr std::string_view kDataUnreadable = "データファイルを読み込めませんでした。";
inline constexpr std::string_view kOutputFailed = "出力に失敗しました。";
inline constexpr std::string_view kNoSuchStructure = "という構造体はありません。";
inline constexpr std::string_view kNoStructures = "構造体が定義されていません。";
inline constexpr std::string_view kSeeHelp = "詳しくは velmora-csv --help を参照してください。";
inline constexpr std::string_view kOutOfMemory = "velmora-csv: メモリが足りません。";
inline std::string NoSuchColumn(std::string_view item) {
  return Quoted(item) + "という列はありません";
}
inline std::string CannotBecome(std::string_view item, std::string_view keyword) {
  return Quoted(item) + "は" + Quoted(keyword) + "型にできません";
}
inline std::string OutOfColumnRange(std::string_view item) {
  return Quoted(item) + "は列番号の範囲外です";
}
// Usage errors, after the option they are about.
inline constexpr std::string_view kEmptyPath = "パスが空です";
inline std::string NotColumnKeyword(std::string_view value) {
  return Quoted(value) + "は COLUMN=KEYWORD の形ではありません";
}
inline constexpr std::string_view kZeroOrOne = "0 か 1 を指定してください";
inline std::string NotFirstCount(std::string_view value) {
  return Quoted(value) + "は FIRST:COUNT の形ではありません";
}
inline constexpr std::string_view kOneOfEncodings =
    "cp932, utf-8, utf-8-bom のどれかを指定してください";
inline constexpr std::string_view kNoSuchOption = "そのようなオプションはありません";
inline constexpr std::string_view kValueMissing = "値がありません";
inline constexpr std::string_view kTakesNoValue = "値は取りません";
inline constexpr std::string_view kOneDataFile = "データファイルは一つだけ指定できます";
inline constexpr std::string_view kOnlyWithImport = "--import と一緒に指定してください";
inline constexpr std::string_view kNotWithImport = "--import と一緒には使えません";
inline constexpr std::string_view kNoStandardInputForImport = "--import では標準入力は使えません";
inline constexpr std::string_view kDataFileOrOutput =
    "データファイルか --output を指定してください";
inline constexpr std::string_view kNoDataFile = "データファイルが指定されていません";

// velmora-csv --import: why the CSV after whose path they stand is refused.
inline constexpr std::string_view kCsvUnreadable = "CSV ファイルを読み込めませんでした。";
inline constexpr std::string_view kCsvLooksLikeUtf8 =
    "UTF-8 の CSV のようです。--encoding utf-8 を指定してください "
    "(コードページ 932 なら --encoding cp932)。";
inline std::string CsvPlace(std::uint64_t row, std::string_view label) {
  return std::to_string(row) + " 行目" + (label.empty() ? "" : ", " + Quoted(label) + " 列");
}
inline constexpr std::string_view kCsvNoHeader = "見出し行がありません";
inline constexpr std::string_view kCsvUnclosedQuote = "引用符が閉じられていません";
inline constexpr std::string_view kCsvTextAfterQuote = "閉じた引用符の後にコンマか改行がありません";
inline constexpr std::string_view kCsvQuoteInField = "引用符で始まらない値に引用符があります";
inline constexpr std::string_view kCsvFieldCount = "値の数が見出しの列の数と違います";
inline constexpr std::string_view kCsvUnknownLabel = "この名前の列は構造体にありません";
inline constexpr std::string_view kCsvNotARecordNumber = "レコード番号ではありません";
inline constexpr std::string_view kCsvRecordNumberTooLarge =
    "レコード番号が大きすぎます (データが 4 GiB を越えます)";
inline constexpr std::string_view kCsvDuplicateRecordNumber =
    "同じレコード番号の行がほかにあります";
inline constexpr std::string_view kCsvNotDecimal = "10 進の整数ではありません";
inline std::string CsvOutOfRange(std::int64_t lowest, std::uint64_t highest) {
  return std::to_string(lowest) + " から " + std::to_string(highest) + " の範囲外です";
}
inline constexpr std::string_view kCsvNotHex = "16 進数ではありません";
inline std::string CsvTooManyDigits(int digits) {
  return "16 進数は " + std::to_string(digits) + " 桁までです";
}
inline std::string CsvTooLong(std::size_t bytes) {
  return std::to_string(bytes) + " バイトを越える文字列です";
}
inline constexpr std::string_view kCsvEncoding = "文字コードが正しくありません";
inline std::string CsvRefused(std::uint64_t problems, std::size_t shown) {
  std::string text = "問題が " + std::to_string(problems) + " 件あります";
  if (problems > shown) text += " (最初の " + std::to_string(shown) + " 件を表示)";
  return text + "。何も書き込みませんでした。";
}

}  // namespace texts
