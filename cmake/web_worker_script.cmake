# Wraps the WebAssembly module's script and the worker's own script in one function, whose
# text the page starts as a worker: a page opened from disk may not start one by URL.
file(READ ${MODULE} module_text)
file(READ ${WORKER} worker_text)
file(WRITE ${OUT}
  "// Generated when the page is built; the page runs this function's text as its worker.\n"
  "function sproingWorkerMain() {\n${module_text}\n${worker_text}\n}\n")
