# Writes a test image for the demo and the tests: a few KB of bytes that depend only on NUMBER,
# so every build makes the same file and tests can compare what the simulated phone received.
# It begins like every boot image, with ANDROID!, so the program's look at an image before a
# flash lets it through; the rest says plainly that it is none.
# cmake -DOUTPUT=<file> -DNUMBER=<1..3> -P make_test_image.cmake
if(NOT OUTPUT OR NOT NUMBER)
  message(FATAL_ERROR "OUTPUT and NUMBER are required")
endif()
math(EXPR length "2048 * (${NUMBER} + 1)")
math(EXPR seed "7919 * ${NUMBER}")
string(RANDOM LENGTH ${length} RANDOM_SEED ${seed}
       ALPHABET "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz" body)
file(WRITE ${OUTPUT} "ANDROID!QUORLANE TEST IMAGE ${NUMBER} - NOT A RECOVERY IMAGE\n${body}\n")
