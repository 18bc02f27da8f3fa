# The MIME types of the picture files the editor opens, for the desktop
# entry's MimeType= list. The formats themselves are the table in
# src/picture/PictureFormats.cpp; a test holds this list equal to that table's
# types, so a format the editor learns to read must be added here too.
set(CORVELLIN_READ_MIME_TYPES
  image/jpeg
  image/bmp
  image/png
  image/tiff
  image/webp
  image/heif
  image/heic
)
