#include "core/Commands.h"

#include <algorithm>
#include <new>

#include "core/CommandSupport.h"
#include "i18n/Catalogue.h"

namespace tolvanix {

CommandRun::~CommandRun() {
  handles_.second.reset();
  handles_.first.reset();
  if (!clearOnEnd_) return;
  ui_.SetBusyCursor(false);
  ui_.SetStatusText("");
}

Outcome CommandRun::End(Outcome outcome, const std::string& file) {
  // What reached a removable medium so far must be on it before the user can
  // pull it while the notice is open.
  if (handles_.second && writingToRemovable_) handles_.second->Flush();
  if (const char* text = NoticeText(outcome); text && !Stopping())
    ui_.ShowNotice(file.empty() ? Tr(text) : Tr(text) + std::string("\r\n") + file);
  return outcome;
}

const char* NoticeText(Outcome outcome) {
  switch (outcome) {
    case Outcome::Done:
    case Outcome::Cancelled:
    case Outcome::Stopped:
      return nullptr;
    case Outcome::SourceOpenFailed:
      return N_("ファイルのオープンに失敗しました。");
    case Outcome::PieceSizeTooSmall:
      return N_("分割サイズは1KB以上を指定してください。");
    case Outcome::PieceSizeTooLarge:
      return N_("分割サイズは2097151KB以下を指定してください。");
    case Outcome::TooManyPieces:
      return N_("999以上のファイルは作成できません。");
    case Outcome::BufferFailed:
      return N_("読み込みバッファのメモリ確保に失敗しました。");
    case Outcome::FreeSpaceFailed:
      return N_("ディスクの空き容量の取得に失敗しました");
    case Outcome::PieceCreateFailed:
      return N_("格納先ファイルの作成に失敗しました。");
    case Outcome::HeaderWriteFailed:
      return N_("格納先ファイルの書き込みに失敗しました。");
    case Outcome::SourceReadFailed:
      return N_("分割ファイルのデータ読み込みに失敗しました。");
    case Outcome::PieceWriteFailed:
      return N_("格納先ファイルのデータ書き込みに失敗しました。");
    case Outcome::PieceOpenFailed:
      return N_("元ファイルのオープンに失敗しました。");
    case Outcome::BadFileSize:
      return N_("ファイルサイズが不正です。");
    case Outcome::NameReadFailed:
      return N_("元ファイルのファイル名の読み込みに失敗しました。");
    case Outcome::CountReadFailed:
      return N_("元ファイルのファイル数の読み込みに失敗しました。");
    case Outcome::OutputCreateFailed:
      return N_("結合ファイルの作成に失敗しました。");
    case Outcome::PieceReadFailed:
      return N_("元ファイルのデータ読み込みに失敗しました。");
    case Outcome::OutputWriteFailed:
      return N_("ファイルのデータ書き込みに失敗しました。");
    case Outcome::ChecksumMismatch:
      return N_("分割ファイルの内容がチェックサムと一致しません。");
    case Outcome::ListWriteFailed:
      return N_("格納先ファイルの書き込みに失敗しました。");
  }
  return nullptr;
}

const char* NoteText(Note::Kind kind) {
  switch (kind) {
    case Note::ListUnreadable:
      return N_("チェックサムファイルを読めないため、無視しました。");
    case Note::ListOfOtherFiles:
      return N_("チェックサムファイルがこの分割ファイルのものではないため、無視しました。");
    case Note::ListNotWritten:
      return N_("同じ名前のファイルがあるため、チェックサムファイルを作成しませんでした。");
    case Note::ListWritten:
      return N_("チェックサムファイルを作成しました。");
    case Note::ListVerified:
      return N_("すべての分割ファイルがチェックサムと一致しました。");
  }
  return "";
}

std::string ProgressText(const char* prefix, int64_t k, int64_t count) {
  return std::string(Tr(prefix)) + "  " + std::to_string(k) + "/" + std::to_string(count);
}

std::unique_ptr<char[]> ObtainBuffer(int64_t size) {
  return std::unique_ptr<char[]>(new (std::nothrow) char[static_cast<size_t>(size)]());
}

CopyResult CopyBytes(File& from, File& to, int64_t n, char* buffer, int64_t bufferSize,
                     const CopyPace& pace, Hasher* hash) {
  CopyResult result;
  // In the kernel first; once it hands over, the rest goes through the
  // buffer, where a failing Read or Write tells which side broke. A digest
  // must see the bytes: the kernel's copy never shows them.
  bool inKernel = hash == nullptr;
  while (result.copied < n) {
    if (pace.control && pace.control->StopRequested()) {
      result.status = CopyResult::Stopped;
      return result;
    }
    bool ended = false;
    if (inKernel) {
      const KernelCopy kernel = from.CopyTo(to, std::min(kChunkBytes, n - result.copied));
      result.copied += kernel.copied;
      if (kernel.stop == KernelCopy::Full) result.status = CopyResult::WriteFailed;
      if (kernel.stop == KernelCopy::ReadFailed) result.status = CopyResult::ReadFailed;
      if (result.status != CopyResult::Ok) return result;
      inKernel = kernel.stop == KernelCopy::Done;
      // Nothing moved (files that cannot copy this way): no chunk to tell of.
      if (!inKernel && kernel.copied == 0) continue;
    } else {
      const int64_t want = std::min(bufferSize, n - result.copied);
      const int64_t got = from.Read(buffer, want);
      if (got < 0) {
        result.status = CopyResult::ReadFailed;
        return result;
      }
      if (got > 0) {
        if (hash) hash->Update(buffer, static_cast<size_t>(got));
        const int64_t written = to.Write(buffer, got);
        if (written > 0) result.copied += written;
        if (written != got) {
          result.status = CopyResult::WriteFailed;
          return result;
        }
      }
      ended = got < want;
    }
    if (pace.pushToMedium && !to.PushWritten()) {
      result.status = CopyResult::WriteFailed;
      return result;
    }
    if (pace.control) pace.control->Progress(pace.base + pace.perByte * result.copied);
    if (ended) break;
  }
  return result;
}

FirstPiece ReadFirstPiece(File& first) {
  FirstPiece piece;
  piece.size = first.Size();
  if (piece.size < 257 || piece.size > kMaxPieceBytes) {
    piece.outcome = Outcome::BadFileSize;
    return piece;
  }
  if (first.Read(piece.header.data(), kNameFieldSize) <= 0) {
    piece.outcome = Outcome::NameReadFailed;
    return piece;
  }
  if (first.Read(piece.header.data() + kNameFieldSize, kCountFieldSize) != kCountFieldSize) {
    piece.outcome = Outcome::CountReadFailed;
    return piece;
  }
  piece.decoded = DecodeHeader(piece.header);
  // A set has at least one piece: anything less is a corrupt header, not a
  // join of nothing.
  if (piece.decoded.count < 1) piece.outcome = Outcome::CountReadFailed;
  return piece;
}

void HashSet::Add(HashKind kind) {
  if (auto hasher = MakeHasher(kind)) hashers_.emplace_back(kind, std::move(hasher));
}

void HashSet::Update(const void* data, size_t n) {
  for (auto& [kind, hasher] : hashers_) hasher->Update(data, n);
}

std::string HashSet::HexDigest() {
  return hashers_.empty() ? std::string() : hashers_.front().second->HexDigest();
}

std::vector<std::pair<HashKind, std::string>> HashSet::Digests() {
  std::vector<std::pair<HashKind, std::string>> digests;
  for (auto& [kind, hasher] : hashers_) digests.emplace_back(kind, hasher->HexDigest());
  return digests;
}

void HashSet::KeepOnly(HashKind kind) {
  std::erase_if(hashers_, [kind](const auto& h) { return h.first != kind; });
}

}  // namespace tolvanix
