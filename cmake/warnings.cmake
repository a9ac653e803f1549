# Warnings as errors on every compiler we build with.
if(MSVC)
  add_compile_options(/W4 /WX /permissive-)
else()
  add_compile_options(-Wall -Wextra -Werror -pedantic)
endif()

if(WIN32)
  # Windows 7 and later. Paths and texts cross into Windows through the
  # W (wide) functions; no UNICODE define, so each call names its kind.
  add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX WIN32_LEAN_AND_MEAN)
endif()

if(WIN32 AND NOT MSVC)
  # One portable .exe: no MinGW runtime DLLs beside it.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # Small: every function and datum in its own section, unused ones dropped
  # at link time, no symbols kept.
  add_compile_options(-ffunction-sections -fdata-sections)
  add_link_options(-Wl,--gc-sections -s)
  # Reproducible: no link time stamp in the PE header, and no build folder
  # in the binaries, so two clones built in different places give the same
  # bytes.
  add_link_options(-Wl,--no-insert-timestamp)
  add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
                      -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)
endif()
