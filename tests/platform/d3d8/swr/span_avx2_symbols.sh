#!/bin/sh
# The eight-pixel span routines are the one part of the platform library built for AVX2.
# Their object must define nothing the linker could share with other objects but its
# entry point: an inline function or template emitted there (a weak symbol) could be
# the copy the linker keeps for everyone, and then run on a processor without AVX2.
# Usage: span_avx2_symbols.sh LIBPLATFORM.a
lib="$1"
listing=$(nm -C --defined-only "$lib" | awk '/^swr_span_avx2.cpp.o:$/ { f = 1; next } /\.o:$/ { f = 0 } f && NF >= 3')
if [ -z "$listing" ]; then
    echo "no swr_span_avx2.cpp.o in $lib"
    exit 1
fi
# Local symbols (lower-case kinds) and the exception personality's data reference are fine.
shared=$(echo "$listing" | awk '$2 !~ /^[a-z]$/' | grep -v ' T swr::SpanRoutinesAvx2(' | grep -v 'DW.ref.__gxx_personality_v0')
if [ -n "$shared" ]; then
    echo "the AVX2 span object shares symbols besides its entry point:"
    echo "$shared"
    exit 1
fi
