# Writes a test image that begins like an Android boot image ("ANDROID!") and goes on with
# KIB KiB of bytes that depend only on SEED, so every build makes the same file and tests can
# compare what the phone received. It is not a recovery image.
# cmake -DOUTPUT=<file> -DKIB=<size in KiB> -DSEED=<number> -P make_android_image.cmake
if(NOT OUTPUT OR NOT KIB OR NOT DEFINED SEED)
  message(FATAL_ERROR "OUTPUT, KIB and SEED are required")
endif()
string(RANDOM LENGTH 1024 RANDOM_SEED ${SEED}
       ALPHABET "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz" block)
string(REPEAT "${block}" ${KIB} body)
file(WRITE ${OUTPUT} "ANDROID!QUORLANE TEST IMAGE ${SEED} - NOT A RECOVERY IMAGE\n${body}")
