1<form action="save.jsp" method=post>
<textarea name=comment rows=4><%= bean.getComment() %>  a < b
   <b>kept</b></textarea>
<pre>  keep
     this  </pre>
</form>
