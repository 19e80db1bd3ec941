# corvelHistoryDeleter.dll, installed beside the program.
