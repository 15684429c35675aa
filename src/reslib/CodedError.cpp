#include "reslib/CodedError.h"

CodedError codedError(int code) {
    const char* text = nullptr;
    switch (static_cast<ErrorCode>(code)) {
    case ErrorCode::OutOfMemory: text = "メモリが不足しています。"; break;
    case ErrorCode::Subscript: text = "インデックスが有効範囲にありません。"; break;
    case ErrorCode::OutOfStack: text = "スタック領域が不足しています。"; break;
    case ErrorCode::Internal: text = "内部エラーです。"; break;
    case ErrorCode::FileNotFound: text = "ファイルが見つかりません。"; break;
    case ErrorCode::DeviceIo: text = "デバイスの入出力でエラーが発生しました。"; break;
    case ErrorCode::DeviceUnavailable: text = "デバイスが使用できません。"; break;
    case ErrorCode::FileAccess: text = "ファイルにアクセスできません。"; break;
    case ErrorCode::PathNotFound: text = "パスが見つかりません。"; break;
    case ErrorCode::InvalidValue: text = "プロパティの値が不正です。"; break;
    case ErrorCode::BadPicture: text = "画像の内容が不正です。"; break;
    }
    return {code, text ? text : "エラー " + std::to_string(code)};
}
