# The read-me as Windows users get it, in the zip and from setup: version filled in, Windows line endings.
function(zv_write_windows_readme source version destination)
  file(READ ${source} text)
  string(REPLACE "@VERSION@" "${version}" text "${text}")
  # For Notepad: Windows line endings, whatever the checkout did to them.
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${destination} "${text}")
endfunction()
