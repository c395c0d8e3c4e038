#!/bin/sh
# The wide span routines (AVX2, AVX-512) are the parts of the platform library built for
# instructions the baseline lacks. Each one's object must define nothing the linker could
# share with other objects but its entry point: an inline function or template emitted
# there (a weak symbol) could be the copy the linker keeps for everyone, and then run on
# a processor without those instructions.
# Usage: span_wide_symbols.sh LIBPLATFORM.a OBJECT ENTRY
#   e.g. span_wide_symbols.sh libplatform.a swr_span_avx2.cpp.o SpanRoutinesAvx2
lib="$1"
object="$2"
entry="$3"
listing=$(nm -C --defined-only "$lib" | awk -v o="$object:" '$0 == o { f = 1; next } /\.o:$/ { f = 0 } f && NF >= 3')
if [ -z "$listing" ]; then
    echo "no $object in $lib"
    exit 1
fi
# Local symbols (lower-case kinds) and the exception personality's data reference are fine.
shared=$(echo "$listing" | awk '$2 !~ /^[a-z]$/' | grep -v " T swr::$entry(" | grep -v 'DW.ref.__gxx_personality_v0')
if [ -n "$shared" ]; then
    echo "$object shares symbols besides its entry point:"
    echo "$shared"
    exit 1
fi
