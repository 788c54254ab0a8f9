// glibc's C declaration macros, which the Android headers use and MinGW-w64 does not define.
#pragma once
#ifndef __BEGIN_DECLS
#ifdef __cplusplus
#define __BEGIN_DECLS extern "C" {
#define __END_DECLS }
#else
#define __BEGIN_DECLS
#define __END_DECLS
#endif
#endif
#ifndef __THROW
#define __THROW
#endif
