// BoringSSL's OPENSSL_cleanse, which its SHA-256 code calls to wipe its state; the rest of
// BoringSSL's crypto library is not needed by the client.
#include <stddef.h>
#include <string.h>

void OPENSSL_cleanse(void* ptr, size_t len) {
  volatile unsigned char* p = (volatile unsigned char*)ptr;
  while (len--) *p++ = 0;
}
