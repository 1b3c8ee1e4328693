# Disassembles the DSP library and fails on any fused multiply-add, whose
# single rounding would change the sound's bits. Also fails when the AVX2
# kernel is missing from the disassembly, so that the check cannot pass by
# reading the wrong file.
#   cmake -DOBJDUMP=... -DLIBRARY=... -P CheckNoFma.cmake
execute_process(COMMAND "${OBJDUMP}" -d --no-show-raw-insn "${LIBRARY}"
                OUTPUT_VARIABLE listing ERROR_VARIABLE errors RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} failed on ${LIBRARY}: ${errors}")
endif()
if(NOT listing MATCHES "vpermpd[^\n]*%ymm")
  message(FATAL_ERROR "no AVX2 code found in ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^\n]*v(fmadd|fmsub|fnmadd|fnmsub|fmaddsub|fmsubadd)[0-9a-z]*[^\n]*"
       fused "${listing}")
if(fused)
  list(LENGTH fused count)
  list(GET fused 0 first)
  message(FATAL_ERROR "${count} fused multiply-add instructions in ${LIBRARY}, first: ${first}")
endif()
message(STATUS "no fused multiply-add in ${LIBRARY}")
