# Writes a C++ source holding the effect WAV files as byte arrays, so that the
# audio module carries its effects without Qt's resource system.
#   cmake -DOUT=file.cpp -DDIR=wav_dir -DFILES="a.wav;b.wav" -P EmbedWaves.cmake
set(body "")
set(table "")
set(i 0)
foreach(name IN LISTS FILES)
  file(READ ${DIR}/${name} hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR bytes "${digits} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," hex "${hex}")
  string(REGEX REPLACE "((0x..,){32})" "\\1\n" hex "${hex}")
  string(APPEND body "const std::uint8_t kWave${i}[${bytes}] = {\n${hex}};\n")
  string(APPEND table "    {kWave${i}, ${bytes}},\n")
  math(EXPR i "${i} + 1")
endforeach()
file(WRITE ${OUT}.tmp "// Written by EmbedWaves.cmake from the generated effects.\n#include \"audio/EffectWaves.h\"\n\nnamespace qg {\nnamespace {\n${body}struct Wave {\n    const std::uint8_t* data;\n    std::size_t size;\n};\nconst Wave kWaves[] = {\n${table}};\n}  // namespace\n\nstd::span<const std::uint8_t> EffectWave(int index) {\n    if (index < 0 || index >= static_cast<int>(std::size(kWaves))) return {};\n    return {kWaves[index].data, kWaves[index].size};\n}\n\n}  // namespace qg\n")
file(COPY_FILE ${OUT}.tmp ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.tmp)
