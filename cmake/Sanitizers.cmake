if(QUILLSTAR_SANITIZE)
    string(REPLACE ";" "," _qs_sanitizers "${QUILLSTAR_SANITIZE}")
    add_compile_options(-fsanitize=${_qs_sanitizers} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${_qs_sanitizers})
endif()

if(QUILLSTAR_FUZZ)
    # Coverage instrumentation everywhere; only the fuzz executables link the libFuzzer main.
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
