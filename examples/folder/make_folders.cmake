# Makes the folders folder.script plays on, under DATA (cmake -DDATA=... -P):
#   names/  three files named in Latin with accents, Greek and CJK, with
#           contents of known CRC-32, and a hidden one (a dot file, which
#           Wine shows as hidden);
#   unreadable/  a file that is read and one that cannot be: a Unix socket,
#           which Wine lists as a file of 0 bytes and refuses to open (made
#           with perl, which every Debian system has);
#   many/   10,000 small files, enough that Stop comes while they are read.
if(NOT DATA)
  message(FATAL_ERROR "make_folders.cmake: give -DDATA=<folder>")
endif()
file(REMOVE_RECURSE ${DATA})
file(WRITE "${DATA}/names/café.txt" "The quick brown fox jumps over the lazy dog")  # 43 bytes, 414FA339
file(WRITE "${DATA}/names/Ελένη.txt" "123456789")  # 9 bytes, CBF43926
file(WRITE "${DATA}/names/李雷.txt" "")  # 0 bytes, 00000000
file(WRITE "${DATA}/names/.hidden" "x")  # 1 byte, 8CDC1683
file(WRITE "${DATA}/unreadable/read.txt" "123456789")  # 9 bytes, CBF43926
execute_process(COMMAND perl -MIO::Socket::UNIX -e "IO::Socket::UNIX->new(Local => shift, Listen => 1) or die qq(\$!\\n)"
                        "${DATA}/unreadable/socket.txt" RESULT_VARIABLE status ERROR_VARIABLE why)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "make_folders.cmake: cannot make the socket ${DATA}/unreadable/socket.txt: ${why}")
endif()
string(REPEAT "0123456789abcdef" 64 block)  # 1 KiB
foreach(i RANGE 1 10000)
  file(WRITE "${DATA}/many/file${i}.bin" "${i}${block}")
endforeach()
