// libOvEncrypt.so: the password-encryption library the utility and its profile store load for
// each stored secret. Exports OV_Encrypt and OV_Decrypt with the four-argument contract: the
// input buffer, the same input buffer again, the output buffer (256 bytes, zero-filled by the
// caller) and the input length in characters; the output is a NUL-terminated text.
//
// An encrypted text is "$ov1$" followed by the unpadded base64url form of
//   nonce (12 random bytes) | AES-256-GCM ciphertext (as long as the text) | tag (16 bytes)
// with "$ov1$" as associated data, under one product key built into every copy of the library,
// so that a profile exported on one machine imports on another. The key is in this file: the
// protection is against casual reading of the store, not against anyone who has the library.
//
// Decryption returns any input that is not such a text (wrong prefix, bad encoding, tag that does
// not verify) unchanged, so values written in clear read back as written. A text whose encrypted
// form would exceed 255 characters (more than 159 characters) is left in clear for the same
// reason: the output must fit the caller's buffer.
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kPrefix = "$ov1$";
constexpr size_t kNonceBytes = 12;
constexpr size_t kTagBytes = 16;
constexpr size_t kBufferBytes = 256;
constexpr size_t kMaxText = kBufferBytes - 1;

constexpr uint8_t kProductKey[32] = {
    0x07, 0xaa, 0xb9, 0x66, 0x55, 0xdf, 0x66, 0xce, 0x35, 0x4b, 0x78, 0x69, 0x7b, 0xd7, 0x29, 0xa3,
    0x2d, 0x14, 0xdf, 0x66, 0xfc, 0x33, 0xc8, 0x79, 0xc9, 0xcb, 0x37, 0x00, 0x67, 0x27, 0x45, 0x56,
};

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

size_t EncodedLength(size_t bytes) { return (bytes * 4 + 2) / 3; }

std::string Base64UrlEncode(const uint8_t* data, size_t size) {
  std::string out;
  out.reserve(EncodedLength(size));
  uint32_t bits = 0;
  int pending = 0;
  for (size_t i = 0; i < size; ++i) {
    bits = (bits << 8) | data[i];
    pending += 8;
    while (pending >= 6) {
      pending -= 6;
      out.push_back(kAlphabet[(bits >> pending) & 0x3F]);
    }
  }
  if (pending > 0) out.push_back(kAlphabet[(bits << (6 - pending)) & 0x3F]);
  return out;
}

int DigitValue(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '-') return 62;
  if (c == '_') return 63;
  return -1;
}

// Strict: only the canonical encoding decodes, so one byte string has one text.
bool Base64UrlDecode(std::string_view text, std::string* out) {
  if (text.size() % 4 == 1) return false;
  uint32_t bits = 0;
  int pending = 0;
  for (char c : text) {
    int v = DigitValue(c);
    if (v < 0) return false;
    bits = (bits << 6) | static_cast<uint32_t>(v);
    pending += 6;
    if (pending >= 8) {
      pending -= 8;
      out->push_back(static_cast<char>((bits >> pending) & 0xFF));
    }
  }
  return (bits & ((1u << pending) - 1)) == 0;
}

bool Seal(std::string_view text, std::string* sealed) {
  uint8_t nonce[kNonceBytes];
  if (RAND_bytes(nonce, sizeof nonce) != 1) return false;
  std::string body(kNonceBytes + text.size() + kTagBytes, '\0');
  auto* out = reinterpret_cast<uint8_t*>(body.data());
  std::memcpy(out, nonce, kNonceBytes);

  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  if (ctx == nullptr) return false;
  int n = 0;
  bool ok = EVP_EncryptInit_ex(ctx, EVP_aes_256_gcm(), nullptr, nullptr, nullptr) == 1 &&
            EVP_CIPHER_CTX_ctrl(ctx, EVP_CTRL_GCM_SET_IVLEN, kNonceBytes, nullptr) == 1 &&
            EVP_EncryptInit_ex(ctx, nullptr, nullptr, kProductKey, nonce) == 1 &&
            EVP_EncryptUpdate(ctx, nullptr, &n, reinterpret_cast<const uint8_t*>(kPrefix.data()),
                              static_cast<int>(kPrefix.size())) == 1 &&
            EVP_EncryptUpdate(ctx, out + kNonceBytes, &n,
                              reinterpret_cast<const uint8_t*>(text.data()),
                              static_cast<int>(text.size())) == 1 &&
            EVP_EncryptFinal_ex(ctx, out + kNonceBytes + n, &n) == 1 &&
            EVP_CIPHER_CTX_ctrl(ctx, EVP_CTRL_GCM_GET_TAG, kTagBytes,
                                out + kNonceBytes + text.size()) == 1;
  EVP_CIPHER_CTX_free(ctx);
  if (!ok) return false;
  *sealed = std::string(kPrefix) + Base64UrlEncode(out, body.size());
  return true;
}

// The text inside one of our encrypted texts; false for anything else.
bool Open(std::string_view sealed, std::string* text) {
  if (sealed.substr(0, kPrefix.size()) != kPrefix) return false;
  std::string body;
  if (!Base64UrlDecode(sealed.substr(kPrefix.size()), &body)) return false;
  if (body.size() <= kNonceBytes + kTagBytes) return false;
  const auto* in = reinterpret_cast<const uint8_t*>(body.data());
  const size_t length = body.size() - kNonceBytes - kTagBytes;
  std::string plain(length, '\0');
  uint8_t tag[kTagBytes];
  std::memcpy(tag, in + kNonceBytes + length, kTagBytes);

  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  if (ctx == nullptr) return false;
  int n = 0;
  bool ok = EVP_DecryptInit_ex(ctx, EVP_aes_256_gcm(), nullptr, nullptr, nullptr) == 1 &&
            EVP_CIPHER_CTX_ctrl(ctx, EVP_CTRL_GCM_SET_IVLEN, kNonceBytes, nullptr) == 1 &&
            EVP_DecryptInit_ex(ctx, nullptr, nullptr, kProductKey, in) == 1 &&
            EVP_DecryptUpdate(ctx, nullptr, &n, reinterpret_cast<const uint8_t*>(kPrefix.data()),
                              static_cast<int>(kPrefix.size())) == 1 &&
            EVP_DecryptUpdate(ctx, reinterpret_cast<uint8_t*>(plain.data()), &n,
                              in + kNonceBytes, static_cast<int>(length)) == 1 &&
            EVP_CIPHER_CTX_ctrl(ctx, EVP_CTRL_GCM_SET_TAG, kTagBytes, tag) == 1 &&
            EVP_DecryptFinal_ex(ctx, reinterpret_cast<uint8_t*>(plain.data()) + n, &n) == 1;
  EVP_CIPHER_CTX_free(ctx);
  // A NUL could not have been in a text the caller handed over.
  if (!ok || plain.find('\0') != std::string::npos) return false;
  *text = std::move(plain);
  return true;
}

// The caller's text: at most `length` characters, and never past the buffer's NUL.
bool InputText(const char* input, int length, std::string_view* text) {
  if (input == nullptr || length < 0) return false;
  size_t n = ::strnlen(input, kBufferBytes);
  if (n > kMaxText) return false;  // no NUL inside the 256-byte buffer
  if (static_cast<size_t>(length) < n) n = static_cast<size_t>(length);
  *text = std::string_view(input, n);
  return true;
}

void Emit(std::string_view text, char* output) {
  std::memcpy(output, text.data(), text.size());
  output[text.size()] = '\0';
}

}  // namespace

extern "C" {

// 0 with the encrypted text (or, when it would not fit, the text itself) in `output`;
// -1 for unusable arguments, with `output` left empty.
__attribute__((visibility("default"))) int OV_Encrypt(const char* input, const char* /*again*/,
                                                      char* output, int length) {
  if (output == nullptr) return -1;
  output[0] = '\0';
  std::string_view text;
  if (!InputText(input, length, &text)) return -1;
  if (text.empty()) return 0;
  if (kPrefix.size() + EncodedLength(kNonceBytes + text.size() + kTagBytes) > kMaxText) {
    Emit(text, output);
    return 0;
  }
  std::string sealed;
  if (!Seal(text, &sealed)) return -1;
  Emit(sealed, output);
  return 0;
}

// 0 with the original text in `output` (any other text comes back unchanged); -1 for unusable
// arguments, with `output` left empty.
__attribute__((visibility("default"))) int OV_Decrypt(const char* input, const char* /*again*/,
                                                      char* output, int length) {
  if (output == nullptr) return -1;
  output[0] = '\0';
  std::string_view text;
  if (!InputText(input, length, &text)) return -1;
  std::string plain;
  Emit(Open(text, &plain) ? std::string_view(plain) : text, output);
  return 0;
}

}  // extern "C"
